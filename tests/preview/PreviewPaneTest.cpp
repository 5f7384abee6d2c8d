#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>

#include "PreviewImages.h"
#include "imagelist/ListOperations.h"
#include "preview/PreviewPane.h"

namespace preview {
namespace {

namespace fs = std::filesystem;
using preview_test::Fixture;
using preview_test::Near;

class PreviewPaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PreviewHost host;
    host.updateListCounts = [this] { counts.push_back(imagelist::CountsText(list)); };
    host.showNotice = [this](const std::string& title, const std::string& text, int kind) {
      notices.push_back(title + ": " + text + " (" + std::to_string(kind) + ")");
    };
    host.askYesNo = [this](const std::string& title, const std::string&, const std::string&) {
      asked.push_back(title);
      return answerYes;
    };
    host.openInShell = [this](const std::string& path) { opened.push_back(path); };
    pane = std::make_unique<TPreviewPane>(list, std::move(host), nullptr);
    pane->resize(700, 560);
    pane->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(pane.get()));
  }

  // A row as the reading step lists it; the preview decodes the file on its own.
  int Add(const std::string& path, const char* format = "PNG") {
    return list.Append(imagelist::MakeEntry({"64 x 48", format, "72", "1 KB", path}, false));
  }

  std::string Copy(const char* fixture, const char* name) {
    const std::string path = folder.filePath(QString::fromLatin1(name)).toStdString();
    fs::copy_file(Fixture(fixture), path);
    return path;
  }

  bool ButtonsEnabled() const {
    const bool preview = pane->sBitBtnPreview->isEnabled();
    EXPECT_EQ(pane->sBitBtnCopy->isEnabled(), preview);
    EXPECT_EQ(pane->sBitBtnPreviewRemove->isEnabled(), preview);
    return preview;
  }

  void ExpectEmptyPreview() {
    EXPECT_EQ(pane->PreviewFilePath(), "");
    EXPECT_EQ(pane->LabelPreviewImage->text(), "Preview image");
    EXPECT_EQ(pane->sLabelProperties->text(), "");
    EXPECT_EQ(pane->sLabelScale->text(), "");
    EXPECT_FALSE(pane->tImage32Preview->isVisible());
    EXPECT_FALSE(ButtonsEnabled());
  }

  QTemporaryDir folder;
  imagelist::ImageListModel list;  // outlives the pane, which watches it
  std::unique_ptr<TPreviewPane> pane;
  std::vector<std::string> counts, notices, asked, opened;
  bool answerYes = true;
};

TEST_F(PreviewPaneTest, StartsEmpty) {
  ExpectEmptyPreview();
  EXPECT_EQ(pane->sPanelContent->text(), "Click on the list to preview an image");
  EXPECT_FALSE(pane->sPanelAGIFInfo->isVisible());
}

TEST_F(PreviewPaneTest, LargeImageShowsAtScaleTenAndSmallOneAtHundred) {
  const std::string big = folder.filePath(QStringLiteral("big.png")).toStdString();
  preview_test::WriteGrey(big, 4000, 3000);
  Add(big);
  Add(Fixture("bmp24_300dpi.bmp"), "BMP");

  list.Highlight(0);
  ASSERT_TRUE(pane->tImage32Preview->isVisible());
  pane->tImage32Preview->resize(400, 300);
  EXPECT_EQ(pane->sLabelScale->text(), "Scale: 10 %  ");
  EXPECT_EQ(pane->tImage32Preview->ImageRect(), QRect(0, 0, 400, 300));
  EXPECT_EQ(pane->sLabelProperties->text(), QStringLiteral("  4000\u00d73000  24 BPP  PNG  |"));
  EXPECT_EQ(pane->PreviewBitsPerPixel(), 24);
  EXPECT_EQ(pane->LabelPreviewImage->toolTip().toStdString(), big);

  list.Highlight(1);
  EXPECT_EQ(pane->sLabelScale->text(), "Scale: 100 %  ");
  EXPECT_EQ(pane->tImage32Preview->ImageRect().size(), QSize(64, 48));
  EXPECT_EQ(pane->sLabelProperties->text(), QStringLiteral("  64\u00d748  24 BPP  BMP  |"));
  // The scale sits flush with the right edge; the buttons follow the properties line.
  const QLabel* scale = pane->sLabelScale;
  EXPECT_EQ(scale->geometry().right() + 1, pane->sPanelImageInner->width());
  EXPECT_TRUE(scale->isVisible());
  EXPECT_TRUE(ButtonsEnabled());
  EXPECT_EQ(pane->sBitBtnPreview->x(), pane->sLabelProperties->geometry().right() + 1 + 9);
  EXPECT_EQ(pane->sBitBtnCopy->x(), pane->sBitBtnPreview->geometry().right() + 1 + 4);
  EXPECT_EQ(pane->sBitBtnPreviewRemove->x(), pane->sBitBtnCopy->geometry().right() + 1 + 4);
}

TEST_F(PreviewPaneTest, TransparentPngShowsTheViewBackground) {
  Add(Fixture("png32_alpha.png"));
  list.Highlight(0);
  const QImage shown = pane->tImage32Preview->grab().toImage();
  const QPoint origin = pane->tImage32Preview->ImageRect().topLeft();
  EXPECT_TRUE(Near(shown.pixelColor(origin + QPoint(12, 10)), Qt::red, 0));
  EXPECT_TRUE(Near(shown.pixelColor(origin + QPoint(52, 38)), TPreviewPane::kViewBackground, 0));
  // Blue at half alpha lies between blue and the background.
  const QColor half = shown.pixelColor(origin + QPoint(12, 38));
  EXPECT_TRUE(Near(half, QColor(0x7b, 0x7d, 0xfe), 2)) << half.name().toStdString();
  EXPECT_EQ(pane->PreviewBitsPerPixel(), 32);
}

TEST_F(PreviewPaneTest, AnimatedGifShowsTheStripAndASingleFrameNone) {
  const std::string single = folder.filePath(QStringLiteral("single.gif")).toStdString();
  preview_test::WriteGrey(single, 20, 10, FIF_GIF);
  Add(Fixture("gif_animated.gif"), "GIF");
  Add(single, "GIF");

  list.Highlight(0);
  EXPECT_TRUE(pane->sPanelAGIFInfo->isVisible());
  EXPECT_EQ(pane->sPanelAGIFInfo->text(), "Animated GIF info");
  EXPECT_EQ(pane->tImage32Preview->geometry().bottom() + 1, pane->sPanelAGIFInfo->y());
  QTest::mouseClick(pane->sPanelAGIFInfo, Qt::LeftButton);
  EXPECT_EQ(notices, std::vector<std::string>{
                         "Animated GIF info: This is an animated GIF. You can only view and export the first frame. (1)"});

  list.Highlight(1);
  EXPECT_FALSE(pane->sPanelAGIFInfo->isVisible());
  EXPECT_EQ(pane->tImage32Preview->geometry().bottom(), pane->sPanelContent->contentsRect().bottom());
}

TEST_F(PreviewPaneTest, NextAndPreviousStopAtTheEnds) {
  for (const char* file : {"png24.png", "bmp24_300dpi.bmp", "pcx24.pcx"}) Add(Fixture(file));
  struct Case {
    std::optional<int> from;
    bool next;
    std::optional<int> to;
  };
  const Case cases[] = {
      {std::nullopt, true, 0}, {std::nullopt, false, 2}, {0, true, 1}, {1, false, 0},
      {2, true, 2},            {0, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.from.value_or(-1)) + (c.next ? " next" : " previous"));
    if (c.from) {
      list.Highlight(*c.from);
    } else {
      list.ClearHighlight();
    }
    (c.next ? pane->sBitBtnPreviewNext : pane->sBitBtnPreviewPrev)->click();
    EXPECT_EQ(list.Highlighted(), c.to);
    EXPECT_EQ(pane->PreviewFilePath(), list.Row(*c.to).fullPath());
    EXPECT_TRUE(ButtonsEnabled());
  }
}

TEST_F(PreviewPaneTest, RemovePreviewsTheNeighbourOrEmpties) {
  const std::string a = Copy("png24.png", "a.png"), b = Copy("bmp24_300dpi.bmp", "b.bmp");
  Add(a);
  Add(b);
  list.Highlight(1);

  answerYes = false;
  pane->sBitBtnPreviewRemove->click();
  EXPECT_EQ(list.Count(), 2);

  answerYes = true;
  pane->sBitBtnPreviewRemove->click();  // the last of several: the one before it shows
  EXPECT_EQ(asked, (std::vector<std::string>{"Remove this image", "Remove this image"}));
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Highlighted(), 0);
  EXPECT_EQ(pane->PreviewFilePath(), a);
  EXPECT_EQ(pane->LabelPreviewImage->toolTip().toStdString(), a);
  EXPECT_EQ(counts.back(), "1 / 1");

  pane->sBitBtnPreviewRemove->click();  // the only row
  EXPECT_TRUE(list.Empty());
  EXPECT_EQ(counts.back(), "0 / 0");
  ExpectEmptyPreview();
  EXPECT_EQ(pane->sPanelContent->text(), "Click on the list to preview an image");
}

TEST_F(PreviewPaneTest, RemovingEveryTickedRowEmptiesThePreview) {
  Add(Fixture("png24.png"));
  Add(Fixture("pcx24.pcx"));
  list.Highlight(1);
  imagelist::RemoveSelected(list, *pane);
  EXPECT_TRUE(list.Empty());
  EXPECT_EQ(counts.back(), "0 / 0");
  ExpectEmptyPreview();
}

TEST_F(PreviewPaneTest, CopyPutsTheUnscaledImageOnTheClipboard) {
  const std::string big = folder.filePath(QStringLiteral("big.png")).toStdString();
  preview_test::WriteGrey(big, 4000, 3000);
  Add(Fixture("png24.png"));
  Add(big);
  list.Highlight(1);
  pane->tImage32Preview->resize(400, 300);
  list.Highlight(0);  // the highlight moved away; Copy brings it back to the previewed row
  list.Highlight(1);
  pane->sBitBtnCopy->click();
  const QImage copied = QApplication::clipboard()->image();
  EXPECT_EQ(copied.size(), QSize(4000, 3000));
  EXPECT_TRUE(Near(copied.pixelColor(2000, 1500), QColor(128, 128, 128), 0));
  EXPECT_EQ(list.Highlighted(), 1);

  pane->sBitBtnPreview->click();
  EXPECT_EQ(opened, std::vector<std::string>{big});
}

TEST_F(PreviewPaneTest, UnreadableRowSaysUnknownFormat) {
  Add(Fixture("png24.png"));
  Add("/pictures/notes.txt", "?");
  list.Highlight(0);
  list.Highlight(1);
  EXPECT_EQ(pane->sPanelContent->text(), "Unknown image format");
  EXPECT_EQ(pane->PreviewFilePath(), "/pictures/notes.txt");
  EXPECT_EQ(pane->LabelPreviewImage->text(), "/pictures/notes.txt");
  EXPECT_FALSE(pane->tImage32Preview->isVisible());
  EXPECT_FALSE(pane->sLabelScale->isVisible());
  EXPECT_FALSE(ButtonsEnabled());
}

TEST_F(PreviewPaneTest, FileTurnedToGarbageKeepsThePreviousPicture) {
  const std::string a = Copy("png24.png", "a.png"), b = Copy("bmp24_300dpi.bmp", "b.bmp");
  Add(a);
  Add(b, "BMP");
  list.Highlight(0);
  const QImage before = pane->tImage32Preview->Bitmap();
  std::ofstream(b, std::ios::trunc) << "garbage where a picture was";

  list.Highlight(1);
  EXPECT_EQ(pane->PreviewFilePath(), a);
  EXPECT_EQ(pane->tImage32Preview->Bitmap(), before);
  EXPECT_TRUE(pane->tImage32Preview->isVisible());
  EXPECT_EQ(pane->LabelPreviewImage->toolTip().toStdString(), a);
  EXPECT_EQ(pane->sLabelProperties->text(), "");
  EXPECT_FALSE(ButtonsEnabled());

  fs::remove(b);  // gone altogether: the same
  list.Highlight(0);
  list.Highlight(1);
  EXPECT_EQ(pane->tImage32Preview->Bitmap(), before);
  EXPECT_FALSE(ButtonsEnabled());
}

TEST_F(PreviewPaneTest, LongPathIsShortenedBesideTheArrows) {
  const std::string dir = folder.filePath(QString(60, QLatin1Char('d'))).toStdString();
  fs::create_directories(dir);
  const std::string path = dir + "/" + std::string(80, 'n') + ".png";
  fs::copy_file(Fixture("png24.png"), path);
  Add(path);
  list.Highlight(0);
  const QString shown = pane->LabelPreviewImage->text();
  EXPECT_TRUE(shown.startsWith(QString::fromStdString(path.substr(0, 24)) + QStringLiteral("... ")));
  EXPECT_TRUE(shown.endsWith(QStringLiteral("n.png")));
  EXPECT_LE(pane->LabelPreviewImage->width(), pane->sPanelAboveImage->width() - pane->sPanelArrows->width() - 8);
  EXPECT_EQ(pane->LabelPreviewImage->toolTip().toStdString(), path);
}

}  // namespace
}  // namespace preview
