#include <gtest/gtest.h>

#include <QHeaderView>
#include <QThread>
#include <atomic>
#include <thread>
#include <QTest>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <memory>

#include "ScriptedDialogs.h"
#include "app/MainWindow.h"
#include "app/Rounding.h"
#include "app/Skin.h"
#include "app/uCommon.h"
#include "online/ClientSettings.h"
#include "online/OnlineServices.h"

namespace app {
namespace {

namespace fs = std::filesystem;

imagelist::ImageEntry Row(const std::string& path, bool readable = true) {
  return imagelist::MakeEntry(readable ? std::array<std::string, 5>{"640 x 480", "JPEG", "72", "12 KB", path}
                                       : std::array<std::string, 5>{"-", "?", "-", "10", path},
                              false);
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TMainForm>(temp.path().toStdString());
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }

  void TearDown() override {
    if (form) form->hide();  // a plain destroy, without the exit question
    form.reset();
  }

  template <typename T>
  T* Find(const char* name) const {
    T* widget = form->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  int LeftOf(const char* name) const { return Find<QWidget>(name)->x(); }

  // Offset of a control's right edge from its parent's right edge.
  int RightGap(const char* name) const {
    const QWidget* w = Find<QWidget>(name);
    return w->parentWidget()->width() - w->geometry().right() - 1;
  }

  void CheckFollowsTheWidth(int w) {
    SCOPED_TRACE(w);
    EXPECT_EQ(form->width(), w);
    EXPECT_EQ(LeftOf("sImageBanner"), w - 300 - 24);
    EXPECT_EQ(LeftOf("sLabelFXWebpage"), w - form->sLabelFXWebpage->width() - 32);
    EXPECT_EQ(form->sStatusBar1->PanelWidth(2), w - 454);
    const int bottom = form->sPanelBottom->width();
    EXPECT_EQ(form->sEditTextTitle->width(), bottom - form->sEditTextTitle->x() - 10);
    EXPECT_EQ(form->sEditSubject->width(), form->sEditTextTitle->width());
    EXPECT_EQ(form->sEditAuthor->width(), bottom - (form->sEditAuthor->x() + form->sBitBtnStart->width()) - 22);
    EXPECT_EQ(form->sEditKeywords->width(), form->sEditAuthor->width());
    EXPECT_EQ(RightGap("sBitBtnStart"), 10);
  }

  void CheckLeftPanel() {
    const int l = form->sPanelLeft->width();
    SCOPED_TRACE(l);
    EXPECT_EQ(RightGap("sBitBtnOpen"), 6);
    EXPECT_EQ(RightGap("sLabelListInfo"), 6);
    EXPECT_EQ(form->sFilenameEditOutputPDF->width(),
              l - (form->sCheckBoxOutputPDF->width() + form->sBitBtnOpen->width()) - 27);
  }

  QTemporaryDir temp;
  std::unique_ptr<TMainForm> form;
};

TEST_F(MainWindowTest, StartLayout) {
  EXPECT_EQ(form->size(), QSize(1010, 640));
  EXPECT_EQ(form->minimumSize(), QSize(1010, 640));
  EXPECT_EQ(form->windowTitle(), "Lumenfold");
  EXPECT_EQ(form->TacTitleBarItemTitle->text(), "Lumenfold");
  EXPECT_TRUE(form->TacTitleBarItemNewVersion->isHidden());
  EXPECT_EQ(form->TacTitleBarItemNewVersion->text(), " New version available! ");

  EXPECT_EQ(form->sPanelTop->height(), 66);
  const std::tuple<const char*, QString, QRect> buttons[] = {
      {"sBitBtnAddImage", "Add image", {8, 8, 120, 48}}, {"sBitBtnAddFolder", "Add folder", {132, 8, 120, 48}},
      {"sBitBtnRemove", "Remove", {256, 8, 106, 48}},    {"sBitBtnDonate", "Donate", {366, 8, 100, 48}},
      {"sBitBtnHelp", "Help", {470, 8, 90, 48}},         {"sBitBtnAbout", "About", {564, 8, 94, 48}},
  };
  for (const auto& [name, caption, geometry] : buttons) {
    auto* button = Find<QPushButton>(name);
    EXPECT_EQ(button->parentWidget(), form->sPanelTop) << name;
    EXPECT_EQ(button->text(), caption) << name;
    EXPECT_EQ(button->geometry(), geometry) << name;
  }
  EXPECT_EQ(form->sImageBanner->geometry(), QRect(1010 - 324, 9, 300, 48));
  EXPECT_TRUE(form->sImageBanner->isHidden());

  EXPECT_EQ(form->sPanelLeft->width(), 540);
  EXPECT_GE(form->sPanelRight->width(), 450);
  EXPECT_EQ(form->sPanelLeft->width() + form->sSplitter1->handleWidth() + form->sPanelRight->width(), 1010);
  EXPECT_EQ(form->sPanelLeft->height() - form->sListViewImages->height(), 98);
  EXPECT_EQ(form->sGroupBoxOperations->title(), "Operations");
  EXPECT_EQ(form->sPanelBottom->height(), 156);
  EXPECT_EQ(form->sGroupBoxPDFProperties->title(), "PDF properties");
  EXPECT_EQ(form->sBitBtnStart->text(), "Start");
  EXPECT_EQ(form->sBitBtnOpen->text(), "Open");
  EXPECT_EQ(form->sCheckBoxOutputPDF->text(), "Output PDF:");
  EXPECT_TRUE(form->sCheckBoxOutputPDF->isChecked());
  EXPECT_EQ(form->sLabelListInfo->toolTip(), "Selected / All images");
  EXPECT_TRUE(form->sLabelListInfo->font().bold());

  EXPECT_EQ(form->sStatusBar1->height(), 24);
  EXPECT_EQ(form->sStatusBar1->PanelWidth(0), 52);
  EXPECT_EQ(form->sStatusBar1->PanelWidth(1), 235);
  EXPECT_EQ(form->sStatusBar1->PanelWidth(2), 556);
  EXPECT_EQ(form->sStatusBar1->PanelWidth(3), 50);
  EXPECT_EQ(form->sLabelFXWebpage->text(), QString::fromUtf8("\u00a9 Lumenfold Works"));
  EXPECT_TRUE(form->sLabelFXProcessing->isHidden());
  EXPECT_EQ(form->sLabelFXProcessing->text(), "Processing:");
  EXPECT_EQ(form->sPanelContent->text(), "Click on the list to preview an image");

  for (const auto& [timer, interval] : {std::pair{form->TimerSmallBanner, 500}, std::pair{form->TimerBannerRefresh, 5000},
                                        std::pair{form->TimerNewVersionBlinker, 500}}) {
    EXPECT_EQ(timer->interval(), interval) << timer->objectName().toStdString();
    EXPECT_FALSE(timer->isActive()) << timer->objectName().toStdString();
  }
  CheckFollowsTheWidth(1010);
  CheckLeftPanel();
}

TEST_F(MainWindowTest, RegionsFollowResizesAndSplitterMoves) {
  form->resize(900, 500);  // below the minimum
  EXPECT_EQ(form->size(), QSize(1010, 640));
  form->resize(1300, 800);
  QCoreApplication::processEvents();
  CheckFollowsTheWidth(1300);
  EXPECT_EQ(form->sPanelLeft->width(), 540);  // the right panel takes the growth
  CheckLeftPanel();

  form->sSplitter1->setSizes({700, 1300 - 700 - form->sSplitter1->handleWidth()});
  QCoreApplication::processEvents();
  EXPECT_EQ(form->sPanelLeft->width(), 700);
  CheckLeftPanel();
  EXPECT_EQ(RightGap("sBitBtnStart"), 10);

  form->sSplitter1->setSizes({100, 1200});  // neither panel goes below its minimum
  QCoreApplication::processEvents();
  EXPECT_EQ(form->sPanelLeft->width(), 540);
  form->sSplitter1->setSizes({1200, 100});
  QCoreApplication::processEvents();
  EXPECT_EQ(form->sPanelRight->width(), 450);
  CheckLeftPanel();
}

TEST_F(MainWindowTest, CloseAsksAndOnlyYesCloses) {
  ScriptedDialogs dialogs;
  dialogs.answers = {"", "no", "yes"};
  EXPECT_FALSE(form->close());
  EXPECT_FALSE(form->close());
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->close());
  EXPECT_FALSE(form->isVisible());
  ASSERT_EQ(dialogs.asked.size(), 3);
  EXPECT_EQ(dialogs.asked[0], "Exiting software|Are you sure you want to exit from|Lumenfold?|0|okCancel");
}

TEST_F(MainWindowTest, ControlWAsksFirst) {
  ScriptedDialogs dialogs;
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  QTest::keyClick(form->sEditAuthor, Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(dialogs.asked.size(), 1);
  EXPECT_TRUE(form->isVisible());
  dialogs.answers = {"yes"};
  QTest::keyClick(form->sListViewImages, Qt::Key_W, Qt::ControlModifier);
  EXPECT_FALSE(form->isVisible());
}

TEST_F(MainWindowTest, NotifyRunsTheHandlerOfKnownCodesOnly) {
  std::vector<int> ran;
  for (int code : {2, 3, 4}) form->SetNotificationHandler(code, [&ran, code] { ran.push_back(code); });
  form->SetNotificationHandler(1, [&ran] { ran.push_back(1); });  // refused
  for (int code : {0, 1, 2, 3, 4, 5, 1024}) EXPECT_EQ(form->Notify(code), 1) << code;
  EXPECT_EQ(ran, (std::vector<int>{2, 3, 4}));
}

TEST_F(MainWindowTest, WorkersNotifyOnTheMainThreadAndWaitForIt) {
  QThread* handledOn = nullptr;
  std::atomic<bool> handled = false;
  form->SetNotificationHandler(NextBanner, [&] {
    handledOn = QThread::currentThread();
    handled = true;
  });
  std::atomic<bool> seenByWorker = false;
  std::atomic<bool> done = false;
  std::thread worker([&] {
    PostLog("Banner check: started");
    SendNotify(NextBanner);
    seenByWorker = handled.load();  // the send returned only after the window handled it
    done = true;
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 5000));
  worker.join();
  EXPECT_TRUE(seenByWorker);
  EXPECT_EQ(handledOn, form->thread());
  EXPECT_EQ(LastLogLine(), "Banner check: started");
}

TEST_F(MainWindowTest, CountsLabelAndGridLinesFollowTheRows) {
  imagelist::ImageListModel& list = form->ImageList();
  const auto label = [&] { return form->sLabelListInfo->text(); };
  EXPECT_EQ(label(), "0 / 0");
  EXPECT_FALSE(form->sListViewImages->showGrid());
  list.Append(Row("/p/a.jpg"));
  EXPECT_EQ(label(), "1 / 1");
  EXPECT_TRUE(form->sListViewImages->showGrid());
  list.Append(Row("/p/b.jpg"));
  list.Append(Row("/p/c.jpg"));
  EXPECT_EQ(label(), "3 / 3");
  // Unticking through the view's tick box updates the label at once.
  const QModelIndex first = form->sListViewImages->model()->index(0, 0);
  form->sListViewImages->model()->setData(first, Qt::Unchecked, Qt::CheckStateRole);
  EXPECT_EQ(label(), "2 / 3");
  list.Append(Row("/p/d.bin", false));
  EXPECT_EQ(label(), "2 / 4");
  list.SetTick(3, true);
  EXPECT_EQ(label(), "3 / 4");
  EXPECT_EQ(RightGap("sLabelListInfo"), 6);
  while (!list.Empty()) list.Delete(0);
  EXPECT_EQ(label(), "0 / 0");
  EXPECT_FALSE(form->sListViewImages->showGrid());
}

TEST_F(MainWindowTest, ShowFullPathChangesOnlyTheFirstColumn) {
  imagelist::ImageListModel& list = form->ImageList();
  list.Append(Row("/pics/a.jpg"));
  list.Append(Row("/pics/b.bin", false));
  QAbstractItemModel* model = form->sListViewImages->model();
  const auto snapshot = [&] {
    QStringList cells;
    for (int row = 0; row < model->rowCount(); ++row)
      for (int column = 0; column < model->columnCount(); ++column)
        for (int role : {int(Qt::DisplayRole), int(Qt::CheckStateRole)})
          cells << model->index(row, column).data(role).toString();
    return cells;
  };
  const QStringList before = snapshot();
  form->sCheckBoxShowFullPath->setChecked(true);
  const QStringList after = snapshot();
  EXPECT_EQ(model->index(0, 0).data().toString(), "/pics/a.jpg");
  EXPECT_EQ(model->index(1, 0).data().toString(), "/pics/b.bin");
  // Ten cells a row; the first is column 0's text.
  for (qsizetype i = 0; i < before.size(); ++i) {
    if (i % 10 == 0) continue;
    EXPECT_EQ(after[i], before[i]) << i;
  }
  form->sCheckBoxShowFullPath->setChecked(false);
  EXPECT_EQ(snapshot(), before);
}

TEST_F(MainWindowTest, ListColumnsAndSettings) {
  QAbstractItemModel* model = form->sListViewImages->model();
  const std::tuple<QString, int, Qt::Alignment> columns[] = {
      {" Source image", 270, Qt::AlignLeft | Qt::AlignVCenter}, {" Dimensions", 80, Qt::AlignCenter},
      {"Format", 50, Qt::AlignCenter}, {"DPI", 50, Qt::AlignCenter}, {"File size", 60, Qt::AlignCenter}};
  ASSERT_EQ(model->columnCount(), 5);
  for (int c = 0; c < 5; ++c) {
    const auto& [caption, width, alignment] = columns[c];
    EXPECT_EQ(model->headerData(c, Qt::Horizontal).toString(), caption);
    EXPECT_EQ(form->sListViewImages->columnWidth(c), width);
    EXPECT_EQ(model->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(), alignment);
  }
  QHeaderView* header = form->sListViewImages->horizontalHeader();
  EXPECT_FALSE(header->sectionsClickable());
  header->resizeSection(0, 100);
  EXPECT_EQ(form->sListViewImages->columnWidth(0), 270);
  header->resizeSection(0, 320);
  EXPECT_EQ(form->sListViewImages->columnWidth(0), 320);
  EXPECT_EQ(header->sectionResizeMode(2), QHeaderView::Fixed);
  EXPECT_EQ(form->sListViewImages->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(form->sListViewImages->selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(MainWindowTest, HighlightFollowsTheListAndRemovalDropsIt) {
  imagelist::ImageListModel& list = form->ImageList();
  for (const char* path : {"/a.jpg", "/b.jpg", "/c.jpg"}) list.Append(Row(path));
  form->sListViewImages->selectRow(1);
  EXPECT_EQ(list.Highlighted(), 1);
  list.Highlight(2);
  EXPECT_EQ(form->sListViewImages->currentIndex().row(), 2);
  list.Delete(2);
  EXPECT_EQ(list.Highlighted(), std::nullopt);
  EXPECT_FALSE(form->sListViewImages->selectionModel()->hasSelection());
}

TEST_F(MainWindowTest, SecondAndFourthOfFiveRowsAreShaded) {
  for (int i = 0; i < 5; ++i) form->ImageList().Append(Row("/p/" + std::to_string(i) + ".jpg"));
  QCoreApplication::processEvents();
  QTableView* view = form->sListViewImages;
  const QImage image = view->viewport()->grab().toImage();
  const QColor plain = kListBackground;
  const QColor shaded(RoundHalfEven(plain.red() * 0.94), RoundHalfEven(plain.green() * 0.94),
                      RoundHalfEven(plain.blue() * 0.94));
  // A blank spot of each row: left of the centred text in the "File size" column.
  const int x = view->columnViewportPosition(4) + 3;
  for (int row = 0; row < 5; ++row) {
    const int y = view->rowViewportPosition(row) + view->rowHeight(row) / 2;
    EXPECT_EQ(image.pixelColor(x, y), row % 2 == 1 ? shaded : plain) << "row " << row + 1;
  }
}

TEST_F(MainWindowTest, AttachOnlineStartsTheBannerTimerAndStopsWithTheWindow) {
  EXPECT_EQ(form->OnlineServices(), nullptr);
  online::THttpClient client(online::SharedHttpClientSettings());
  form->AttachOnline(client);
  ASSERT_NE(form->OnlineServices(), nullptr);
  EXPECT_TRUE(form->TimerSmallBanner->isActive());
  EXPECT_EQ(form->Notify(NextBanner), 1);  // no banners yet: nothing to show
  EXPECT_TRUE(form->sImageBanner->isHidden());
  form->hide();
  form.reset();  // the services stop with the window, before the client goes
}

TEST(ZebraShadeTest, RoundsHalvesToEven) {
  // 250 × 0.94 = 235; 25 × 0.94 = 23.5 → 24; 75 × 0.94 = 70.5 → 70; 0 stays 0.
  EXPECT_EQ(ZebraShade(QColor(250, 25, 75)), QColor(235, 24, 70));
  EXPECT_EQ(ZebraShade(QColor(0, 255, 125)), QColor(0, 240, 118));  // 239.7, 117.5
}

TEST(MainWindowLifetimeTest, DestroyDeletesOnlyThePlainFilesOfTheTemporaryFolder) {
  QTemporaryDir temp;
  const fs::path folder = temp.path().toStdString();
  fs::create_directory(folder / "sub");
  std::ofstream(folder / "sub" / "inner.jpg") << "x";
  std::ofstream(folder / "page-420-page.jpg") << "x";
  std::ofstream(folder / "no-extension") << "x";
  std::ofstream(folder / ".hidden") << "x";
  std::ofstream(folder / "read-only.bmp") << "x";
  fs::permissions(folder / "read-only.bmp", fs::perms::owner_read);
  QTemporaryDir outside;
  const fs::path target = fs::path(outside.path().toStdString()) / "users-file.pdf";
  std::ofstream(target) << "x";
  fs::create_symlink(target, folder / "link.pdf");
  {
    TMainForm form(folder.string());
  }
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(folder)) left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{".hidden", "sub"}));
  EXPECT_TRUE(fs::exists(folder / "sub" / "inner.jpg"));
  EXPECT_TRUE(fs::exists(target));
}

}  // namespace
}  // namespace app
