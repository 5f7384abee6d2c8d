#include "app/RunControl.h"

#include <gtest/gtest.h>

#include <FreeImage.h>

#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>

#include "../conversion/PdfCheck.h"
#include "../conversion/TestFolder.h"
#include "ScriptedDialogs.h"
#include "app/MainWindow.h"
#include "app/uCommon.h"
#include "imagelist/ImageListModel.h"
#include "platform/ScreenDpi.h"
#include "preview/PreviewImage.h"
#include "preview/PreviewPane.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using imagelist::ImageStatus;
using testing_support::Fixture;
using testing_support::TestFolder;

constexpr int kRunTimeoutMs = 30000;

std::string Copy(const std::string& fixture, const TestFolder& folder, const std::string& name) {
  fs::copy_file(Fixture(fixture), folder / name, fs::copy_options::overwrite_existing);
  return folder / name;
}

// qpdf's structure check passes: exit 0 and nothing on stderr. Skipped when qpdf is missing.
void ExpectQpdfClean(const std::string& pdf) {
  if (std::system("command -v qpdf >/dev/null 2>&1") != 0) return;
  const std::string errors = pdf + ".stderr";
  const int status = std::system(("qpdf --check '" + pdf + "' >/dev/null 2>'" + errors + "'").c_str());
  std::ifstream in(errors);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  fs::remove(errors);
  EXPECT_EQ(status, 0) << text;
  EXPECT_EQ(text, "");
}

class RunControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TMainForm>(temp.Slash());
    control = form->RunControl;
    control->SetShellOpen([this](const std::string& path) { opened.push_back(path); });
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }

  void TearDown() override {
    if (form) form->hide();
    form.reset();
  }

  imagelist::ImageListModel& List() { return form->ImageList(); }

  std::vector<std::string> Column(int subItem) {
    std::vector<std::string> texts;
    for (int row = 0; row < List().Count(); ++row) texts.push_back(List().Row(row).subItems[subItem]);
    return texts;
  }

  // Runs `start` and waits until the worker it started has returned the window to idle.
  template <typename Start>
  void RunToEnd(Start start) {
    QSignalSpy ended(control, &TRunControl::RunEnded);
    start();
    ASSERT_TRUE(ended.count() > 0 || ended.wait(kRunTimeoutMs));
  }

  void AddPaths(std::vector<std::string> paths) {
    RunToEnd([&] { control->StartReading(std::move(paths)); });
  }

  void AddFolder(const std::string& folder) {
    control->SetFileChoosers({{}, [folder] { return QString::fromStdString(folder); }, {}});
    control->sBitBtnAddFolderClick();
  }

  void ExpectIdle() {
    EXPECT_FALSE(form->ReadingRunning);
    EXPECT_FALSE(form->ConversionRunning);
    EXPECT_EQ(form->sBitBtnStart->text(), "Start");
    EXPECT_EQ(form->sBitBtnStart->property("glyph").toString(), "main7-start");
    EXPECT_TRUE(form->sBitBtnAddImage->isEnabled());
    EXPECT_TRUE(form->sListViewImages->isEnabled());
    EXPECT_FALSE(form->sLabelFXCurrentImage->isVisible());
  }

  TestFolder temp{"-temp"};
  TestFolder files;
  ScriptedDialogs dialogs;
  std::unique_ptr<TMainForm> form;
  TRunControl* control = nullptr;
  std::vector<std::string> opened;
};

// --- Adding images ---------------------------------------------------------------------

TEST_F(RunControlTest, AddFolderTakesExtensionsInOrderAndReadsEachFile) {
  const std::string c = Copy("bmp24_300dpi.bmp", files, "c.bmp");
  const std::string a = Copy("jpeg_rgb.jpg", files, "a.jpg");
  const std::string b = Copy("png24.png", files, "b.png");
  const std::string photo = Copy("png_named.jpg", files, "photo.jpg");
  std::ofstream(files / "notes.txt") << "not an image";
  RunToEnd([&] { AddFolder(files.Path().string()); });

  EXPECT_EQ(Column(imagelist::FullPath), (std::vector<std::string>{c, a, photo, b}));
  EXPECT_EQ(Column(imagelist::Format), (std::vector<std::string>{"BMP", "JPEG", "PNG", "PNG"}));
  EXPECT_EQ(Column(imagelist::Dimensions)[0], "64 x 48");
  EXPECT_EQ(Column(imagelist::Resolution)[0], "300");
  EXPECT_EQ(List().Row(0).caption, "c.bmp");
  EXPECT_EQ(List().Row(0).status, ImageStatus::Waiting);
  EXPECT_TRUE(List().Row(0).tick);
  EXPECT_EQ(form->sLabelListInfo->text(), "4 / 4");
  EXPECT_TRUE(dialogs.asked.isEmpty());
  ExpectIdle();
}

TEST_F(RunControlTest, AddImageDialogListsNineFiltersAndKeepsTheChosenOrder) {
  const QStringList filters = AddImageFilters();
  ASSERT_EQ(filters.size(), 9);
  EXPECT_EQ(filters[0], "All images (*.bmp *.gif *.jpg *.jpeg *.jp2 *.pcx *.png *.psd)");
  EXPECT_EQ(filters[5], "JPEG-2000 Format (*.jp2)");
  EXPECT_EQ(filters[8], "Photoshop Bitmap File (*.psd)");

  // The patterns Qt's own dialog takes from each filter find that filter's files.
  const TestFolder shown;
  for (const char* name : {"a.bmp", "b.gif", "c.jpg", "d.jpeg", "e.jp2", "f.pcx", "g.png", "h.psd", "notes.txt"})
    std::ofstream(shown / name) << "x";
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilters(filters);
  auto* model = dialog.findChild<QFileSystemModel*>();
  ASSERT_NE(model, nullptr);
  const QDir folder(QString::fromStdString(shown.Path().string()));
  const auto matched = [&](const QString& filter) {
    dialog.selectNameFilter(filter);
    return folder.entryList(model->nameFilters(), QDir::Files, QDir::Name).join(QLatin1Char(' '));
  };
  EXPECT_EQ(matched(filters[0]), "a.bmp b.gif c.jpg d.jpeg e.jp2 f.pcx g.png h.psd");
  EXPECT_EQ(matched(filters[5]), "e.jp2");

  const std::string tiff = Copy("tiff_named.png", files, "tiff.png");
  const std::string jpeg = Copy("jpeg_rgb.jpg", files, "z.jpg");
  control->SetFileChoosers({[&] { return QStringList{QString::fromStdString(tiff), QString::fromStdString(jpeg)}; },
                            {}, {}});
  RunToEnd([&] { control->sBitBtnAddImageClick(); });
  ASSERT_EQ(List().Count(), 2);
  // A TIFF under a PNG name is never decoded: an unreadable row, unticked and Failed.
  const imagelist::ImageEntry& unreadable = List().Row(0);
  EXPECT_EQ(unreadable.subItems, (std::array<std::string, 5>{"-", "?", "-", unreadable.subItems[3], tiff}));
  EXPECT_NE(unreadable.subItems[3], "");
  EXPECT_FALSE(unreadable.tick);
  EXPECT_EQ(unreadable.status, ImageStatus::Failed);
  EXPECT_EQ(List().Row(1).subItems[imagelist::Format], "JPEG");
}

TEST_F(RunControlTest, JpegResolutionsShowAsDeclaredOrAsTheScreens) {
  const std::pair<const char*, std::pair<unsigned, unsigned>> jpegs[] = {
      {"a72.jpg", {2835, 2835}}, {"b-none.jpg", {0, 0}}, {"c300x150.jpg", {11811, 5906}}};
  for (const auto& [name, dpm] : jpegs) {
    const conversion::BitmapPtr bitmap(FreeImage_Allocate(8, 8, 24));
    FreeImage_SetDotsPerMeterX(bitmap.get(), dpm.first);
    FreeImage_SetDotsPerMeterY(bitmap.get(), dpm.second);
    ASSERT_TRUE(FreeImage_Save(FIF_JPEG, bitmap.get(), (files / name).c_str(), 0));
  }
  RunToEnd([&] { AddFolder(files.Path().string()); });
  EXPECT_EQ(Column(imagelist::Resolution),
            (std::vector<std::string>{"72", std::to_string(platform::ScreenLogicalDpi()), "300 x 150"}));
}

TEST_F(RunControlTest, DropTakesFoldersAndSupportedFilesOnly) {
  TestFolder dropped("-dropped");
  const std::string inner = Copy("png24.png", dropped, "inner.png");
  const std::string upper = Copy("jpeg_rgb.jpg", files, "\u00e9t\u00e9 photo.JPG");
  std::ofstream(files / "readme.txt") << "text";
  // File managers send percent-encoded URLs; the non-ASCII name must come through whole.
  const QList<QUrl> urls{QUrl::fromLocalFile(QString::fromStdString(dropped.Path().string())),
                         QUrl::fromLocalFile(QString::fromStdString(files / "readme.txt")),
                         QUrl(QUrl::fromLocalFile(QString::fromStdString(upper)).toEncoded())};
  RunToEnd([&] { control->AcceptDroppedFiles(urls); });
  EXPECT_EQ(Column(imagelist::FullPath), (std::vector<std::string>{inner, upper}));
}

TEST_F(RunControlTest, DropEventReachesOnlyAnEnabledList) {
  const std::string jpeg = Copy("jpeg_rgb.jpg", files, "a.jpg");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(jpeg))});
  QWidget* viewport = form->sListViewImages->viewport();
  // Qt hands a drop only to the widget that accepted the drag's entry.
  auto drop = [&] {
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
  };
  form->sListViewImages->setEnabled(false);
  drop();
  EXPECT_EQ(List().Count(), 0);
  EXPECT_FALSE(form->ReadingRunning);
  form->sListViewImages->setEnabled(true);
  RunToEnd(drop);
  EXPECT_EQ(List().Count(), 1);
}

TEST_F(RunControlTest, NothingSupportedGivesTheNoticeAndNoRun) {
  fs::create_directories(files.Path() / "sub");
  Copy("jpeg_rgb.jpg", files, "sub/deep.jpg");
  std::ofstream(files / "readme.txt") << "text";
  AddFolder(files.Path().string());
  control->AcceptDroppedFiles({QUrl::fromLocalFile(QString::fromStdString(files / "readme.txt"))});
  EXPECT_EQ(dialogs.asked, (QStringList{"Adding images|No supported images found!",
                                        "Adding images|No supported images found!"}));
  EXPECT_FALSE(form->ReadingRunning);
  EXPECT_FALSE(control->WorkerAlive());
  EXPECT_EQ(List().Count(), 0);
}

TEST_F(RunControlTest, VanishedFileIsSkippedAndTheRunEnds) {
  const std::string a = Copy("jpeg_rgb.jpg", files, "a.jpg");
  AddPaths({files / "gone.jpg", a});
  EXPECT_EQ(Column(imagelist::FullPath), (std::vector<std::string>{a}));
  EXPECT_NE(LastLogLine().find("Image reading error: "), std::string::npos);
  ExpectIdle();
}

TEST_F(RunControlTest, StopDuringReadingKeepsTheRowsReadSoFar) {
  std::vector<std::string> paths;
  for (int i = 0; i < 5; ++i) paths.push_back(Copy("jpeg_rgb.jpg", files, "p" + std::to_string(i) + ".jpg"));
  // Start reads Stop once the first file is under way; that file is still finished.
  QObject::connect(form->sGaugeProcess, &QProgressBar::valueChanged, control, [this](int value) {
    if (value > 0 && form->ReadingRunning) {
      EXPECT_EQ(form->sBitBtnStart->text(), "Stop");
      control->sBitBtnStartClick();
    }
  });
  AddPaths(paths);
  EXPECT_EQ(Column(imagelist::FullPath), (std::vector<std::string>{paths[0]}));
  EXPECT_TRUE(dialogs.asked.isEmpty());  // no question for a reading run
  ExpectIdle();
}

// --- Conversion run and run control --------------------------------------------------

class ConversionRunTest : public RunControlTest {
 protected:
  // Rows: three convertible images, one unticked, one unreadable (ticked by hand, as a user
  // cannot, to show it is still passed over).
  void AddRows() {
    rows = {Copy("jpeg_rgb.jpg", files, "1.jpg"), Copy("png32_alpha.png", files, "2.png"),
            Copy("bmp24_300dpi.bmp", files, "3.bmp"), Copy("jpeg_grey.jpg", files, "4.jpg"),
            Copy("tiff_named.png", files, "5.png")};
    AddPaths(rows);
    ASSERT_EQ(List().Count(), 5);
    List().SetTick(3, false);
    List().SetTick(4, true);
    output = files / "out.pdf";
    control->SetOutputName(QString::fromStdString(output));
    QObject::connect(form->sGaugeProcess, &QProgressBar::valueChanged, control,
                     [this](int value) { gauge.push_back(value); });
  }

  std::vector<ImageStatus> Statuses() {
    std::vector<ImageStatus> statuses;
    for (int row = 0; row < List().Count(); ++row) statuses.push_back(List().Row(row).status);
    return statuses;
  }

  std::vector<bool> Ticks() {
    std::vector<bool> ticks;
    for (int row = 0; row < List().Count(); ++row) ticks.push_back(List().Row(row).tick);
    return ticks;
  }

  void Start() { RunToEnd([this] { control->sBitBtnStartClick(); }); }

  std::vector<std::string> rows;
  std::string output;
  std::vector<int> gauge;
};

TEST_F(ConversionRunTest, ConvertsTheTickedReadableRowsIntoOnePdf) {
  AddRows();
  form->sEditTextTitle->setText(QStringLiteral("  Holiday  "));
  Start();

  ASSERT_TRUE(fs::exists(output));
  ExpectQpdfClean(output);
  EXPECT_EQ(testing_support::PageSizes(output), (std::vector<std::string>{"64 x 48", "64 x 48", "64 x 48"}));
  EXPECT_EQ(testing_support::InfoValue(output, "Title"), "  Holiday  ");
  EXPECT_EQ(form->sEditTextTitle->toolTip(), "Holiday");
  EXPECT_EQ(Statuses(), (std::vector<ImageStatus>{ImageStatus::Converted, ImageStatus::Converted,
                                                  ImageStatus::Converted, ImageStatus::Waiting, ImageStatus::Failed}));
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, false, false, false, true}));
  EXPECT_EQ(gauge, (std::vector<int>{33, 67, 100, 0}));
  EXPECT_EQ(opened, (std::vector<std::string>{output}));
  EXPECT_TRUE(dialogs.asked.isEmpty()) << dialogs.asked.join(QLatin1Char('\n')).toStdString();
  ExpectIdle();
  EXPECT_EQ(form->sGaugeProcess->value(), 0);
  // The run's own texts leave the preview.
  EXPECT_NE(form->PreviewPane->sPanelContent->text(), "Exporting PDF...");
  EXPECT_NE(form->PreviewPane->LabelPreviewImage->text(), "Processing images");
}

TEST_F(ConversionRunTest, WriteErrorReportsAndTicksTheConvertedRowsAgain) {
  AddRows();
  // The folder vanished after the name was chosen.
  form->sFilenameEditOutputPDF->setText(QString::fromStdString(files / "gone/out.pdf"));
  Start();
  EXPECT_EQ(dialogs.asked, (QStringList{"PDF write error|Error on PDF file writing!\r\n"
                                        "Probably an other application uses this document."}));
  EXPECT_EQ(Statuses()[0], ImageStatus::Converted);
  EXPECT_EQ(Ticks(), (std::vector<bool>{true, true, true, false, true}));
  EXPECT_TRUE(opened.empty());
  ExpectIdle();
}

TEST_F(ConversionRunTest, StopWritesNothingAndLeavesTheLaterRowsUntouched) {
  AddRows();
  dialogs.answers = {QStringLiteral("yes")};
  QObject::connect(form->sGaugeProcess, &QProgressBar::valueChanged, control, [this](int value) {
    if (value == 33 && form->ConversionRunning) control->sBitBtnStartClick();
  });
  Start();
  EXPECT_EQ(dialogs.asked.size(), 1);
  EXPECT_TRUE(dialogs.asked.value(0).startsWith("Cancelling export PDF|Are you sure you want to cancel|"
                                                "the exporting process?"));
  EXPECT_FALSE(fs::exists(output));
  EXPECT_TRUE(opened.empty());
  // The page under way is finished; nothing after it is touched.
  EXPECT_EQ(Statuses(), (std::vector<ImageStatus>{ImageStatus::Converted, ImageStatus::Waiting,
                                                  ImageStatus::Waiting, ImageStatus::Waiting, ImageStatus::Failed}));
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, true, true, false, true}));
  ExpectIdle();
}

TEST_F(ConversionRunTest, StartRightAfterAConfirmedStopWaitsForTheFirstRun) {
  AddRows();
  dialogs.answers = {QStringLiteral("yes")};
  QSignalSpy firstPage(form->sGaugeProcess, &QProgressBar::valueChanged);
  QSignalSpy ended(control, &TRunControl::RunEnded);
  QObject::connect(form->sGaugeProcess, &QProgressBar::valueChanged, control, [this](int value) {
    if (value == 33 && form->ConversionRunning && dialogs.asked.isEmpty()) control->sBitBtnStartClick();
  });
  control->sBitBtnStartClick();
  while (!dialogs.asked.size()) ASSERT_TRUE(firstPage.wait(kRunTimeoutMs));
  // The first worker may still be finishing its page: this press must wait for it, so both
  // runs end, one after the other.
  control->sBitBtnStartClick();
  while (ended.count() < 2) ASSERT_TRUE(ended.wait(kRunTimeoutMs)) << ended.count() << dialogs.asked.join(QLatin1Char('\n')).toStdString();
  ASSERT_TRUE(fs::exists(output));
  ExpectQpdfClean(output);
  EXPECT_EQ(testing_support::PageSizes(output).size(), 2u);  // the rows the first run left ticked
  EXPECT_EQ(opened, (std::vector<std::string>{output}));
  ExpectIdle();
}

TEST_F(ConversionRunTest, ClosingTheWindowDuringARunStopsAndJoinsTheWorker) {
  AddRows();
  QSignalSpy progress(form->sGaugeProcess, &QProgressBar::valueChanged);
  control->sBitBtnStartClick();
  ASSERT_TRUE(progress.wait(kRunTimeoutMs));
  form.reset();  // destroys the list, the preview and the controls the worker uses
  EXPECT_TRUE(opened.empty());
  EXPECT_FALSE(fs::exists(output));
}

TEST_F(RunControlTest, ClosingTheWindowDuringReadingStopsAndJoinsTheWorker) {
  std::vector<std::string> paths;
  for (int i = 0; i < 20; ++i) paths.push_back(Copy("png24.png", files, "p" + std::to_string(i) + ".png"));
  QSignalSpy progress(form->sGaugeProcess, &QProgressBar::valueChanged);
  control->StartReading(paths);
  ASSERT_TRUE(progress.wait(kRunTimeoutMs));
  dialogs.answers = {QStringLiteral("yes")};
  EXPECT_TRUE(form->close());
  EXPECT_FALSE(control->WorkerAlive());
  EXPECT_LT(List().Count(), 20);
}

struct StartCase {
  const char* name;
  int rows;             // jpeg rows added
  bool tickRows;
  bool unreadableTicked;
  bool output;          // an output name chosen
  bool outputBox;       // "Output PDF:" ticked
  bool existing;        // the output file exists already
  const char* answer;
  QStringList asked;
  bool runs;
};

TEST_F(RunControlTest, StartChecksEachConditionInTurn) {
  const QString existingQuestion = "Export to an existing PDF|%1 is already exists.|Do you want to replace it?|0|yesNo";
  const StartCase cases[] = {
      {"empty list", 0, true, false, true, true, false, "", {"No images|Add some images to the list!"}, false},
      {"nothing ticked", 1, false, false, true, true, false, "",
       {"No slected images|Please select at least one valid\r\nimage from the list!"}, false},
      {"only unreadable ticked", 1, false, true, true, true, false, "",
       {"No slected images|Please select at least one valid\r\nimage from the list!"}, false},
      {"no output name", 1, true, false, false, true, false, "", {"No target path|Please specify the output PDF!"}, false},
      {"output box unticked", 1, true, false, true, false, false, "",
       {"No target path|Please specify the output PDF!"}, false},
      {"existing file declined", 1, true, false, true, true, true, "no", {existingQuestion}, false},
      {"existing file replaced", 1, true, false, true, true, true, "yes", {existingQuestion}, true},
  };
  const std::string jpeg = Copy("jpeg_rgb.jpg", files, "a.jpg");
  const std::string tiff = Copy("tiff_named.png", files, "t.png");
  for (const StartCase& c : cases) {
    SCOPED_TRACE(c.name);
    while (!List().Empty()) List().Delete(0);
    std::vector<std::string> paths(static_cast<size_t>(c.rows), jpeg);
    if (c.unreadableTicked) paths.push_back(tiff);
    if (!paths.empty()) AddPaths(paths);
    for (int row = 0; row < List().Count(); ++row) List().SetTick(row, c.tickRows || !List().Row(row).IsReadable());
    const std::string output = files / (std::string(c.name) + ".pdf");
    fs::remove(output);
    if (c.existing) std::ofstream(output) << "old";
    form->sCheckBoxOutputPDF->setChecked(true);
    control->SetOutputName(c.output ? QString::fromStdString(output) : QString());
    form->sCheckBoxOutputPDF->setChecked(c.outputBox);
    dialogs.asked.clear();
    dialogs.answers = {QString::fromLatin1(c.answer)};
    QSignalSpy ended(control, &TRunControl::RunEnded);
    control->sBitBtnStartClick();
    if (c.runs) {
      ASSERT_TRUE(ended.wait(kRunTimeoutMs));
    }
    QStringList expected = c.asked;
    for (QString& line : expected) {
      if (line.contains(QStringLiteral("%1"))) line = line.arg(QString::fromStdString(output));
    }
    EXPECT_EQ(dialogs.asked, expected);
    EXPECT_EQ(opened.size(), c.runs ? 1u : 0u);
    opened.clear();
    EXPECT_FALSE(form->ConversionRunning);
  }
}

TEST_F(RunControlTest, OutputNamesAreTidiedOrRefused) {
  const std::pair<std::string, std::string> names[] = {
      {"report", "report.pdf"}, {"report.PDF", "report.PDF"}, {"scan.pdf.bak", "scan.pdf.bak.pdf"}};
  for (const auto& [chosen, kept] : names) {
    control->SetOutputName(QString::fromStdString(files / chosen));
    EXPECT_EQ(form->sFilenameEditOutputPDF->text().toStdString(), files / kept);
    EXPECT_EQ(form->sFilenameEditOutputPDF->toolTip().toStdString(), files / kept);
  }
  EXPECT_TRUE(dialogs.asked.isEmpty());

  control->SetOutputName(QStringLiteral("/no/such/folder/x.pdf"));
  EXPECT_EQ(form->sFilenameEditOutputPDF->text(), "");
  EXPECT_EQ(dialogs.asked, (QStringList{"Not writable folder|The selected folder not writable!\r\n/no/such/folder/"}));

  control->SetOutputName(QString::fromStdString(files / "kept.pdf"));
  form->sCheckBoxOutputPDF->setChecked(false);
  EXPECT_EQ(form->sFilenameEditOutputPDF->text(), "");
  EXPECT_FALSE(form->sFilenameEditOutputPDF->isEnabled());
  EXPECT_FALSE(form->sBitBtnOpen->isEnabled());
  form->sCheckBoxOutputPDF->setChecked(true);
  EXPECT_EQ(form->sFilenameEditOutputPDF->text(), "");
  EXPECT_TRUE(form->sFilenameEditOutputPDF->isReadOnly());
}

TEST_F(RunControlTest, OutputFieldTakesItsNameFromTheDialogOrADropOnly) {
  QLineEdit* field = form->sFilenameEditOutputPDF;
  EXPECT_TRUE(field->isReadOnly());
  control->SetFileChoosers({{}, {}, [this] { return QString::fromStdString(files / "chosen"); }});
  QTest::mouseClick(field, Qt::LeftButton);
  EXPECT_EQ(field->text().toStdString(), files / "chosen.pdf");

  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(files / "dropped.PDF"))});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(field, &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(field, &drop);
  EXPECT_EQ(field->text().toStdString(), files / "dropped.PDF");

  // "Open" hands the name to the desktop whether or not the file exists yet.
  QTest::mouseClick(form->sBitBtnOpen, Qt::LeftButton);
  EXPECT_EQ(opened, (std::vector<std::string>{files / "dropped.PDF"}));
}

TEST_F(RunControlTest, DisableForRunTurnsOffTheTwentyFourControlsInOrder) {
  const std::vector<QWidget*> controls = control->RunControls();
  QStringList names;
  for (QWidget* widget : controls) names << widget->objectName();
  EXPECT_EQ(names, (QStringList{"sBitBtnAddImage", "sBitBtnAddFolder", "sBitBtnRemove", "sBitBtnDonate",
                                "sBitBtnHelp", "sBitBtnAbout", "sListViewImages", "sCheckBoxShowFullPath",
                                "sButtonSelect", "sButtonMoveUp", "sButtonMoveDown", "sButtonRemoveDuplications",
                                "sCheckBoxOutputPDF", "sFilenameEditOutputPDF", "sBitBtnOpen", "sBitBtnPreviewPrev",
                                "sBitBtnPreviewNext", "sBitBtnPreview", "sBitBtnCopy", "sBitBtnPreviewRemove",
                                "sEditTextTitle", "sEditSubject", "sEditAuthor", "sEditKeywords"}));
}

TEST(ShortenToFitTest, KeepsTheHeadAndAsMuchOfTheTailAsFits) {
  QLabel label;
  const QString path = QStringLiteral("/home/someone/Pictures/holidays/2026/summer/beach/very-long-name.jpg");
  const QFontMetrics metrics(label.font());
  EXPECT_EQ(preview::ShortenToFit(path, metrics, metrics.horizontalAdvance(path)), path);
  const int available = metrics.horizontalAdvance(path.left(24) + "... " + "very-long-name.jpg");
  const QString shortened = preview::ShortenToFit(path, metrics, available);
  EXPECT_TRUE(shortened.startsWith(path.left(24) + "... "));
  EXPECT_TRUE(shortened.endsWith("very-long-name.jpg"));
  EXPECT_LE(metrics.horizontalAdvance(shortened), available);
  EXPECT_GT(metrics.horizontalAdvance(path.left(24) + "... " + path.right(shortened.size() - 27)), available);
  EXPECT_EQ(preview::ShortenToFit(path, metrics, 1), path.left(24) + "... ");
}

}  // namespace
}  // namespace app
