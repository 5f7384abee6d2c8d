#include "app/RunControl.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QStandardPaths>
#include <QStyle>
#include <filesystem>

#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "app/uCommon.h"
#include "conversion/ConversionEngine.h"
#include "conversion/ScanFolder.h"
#include "platform/MainThreadCall.h"
#include "platform/ScreenDpi.h"
#include "platform/ShellOpen.h"
#include "preview/PreviewImage.h"
#include "preview/PreviewPane.h"

namespace app {

namespace {


const QString kAddingImages = QStringLiteral("Adding images");
const QString kNoSupportedImages = QStringLiteral("No supported images found!");

QStringList ChooseImages() {
  QFileDialog dialog(nullptr, QStringLiteral("Add image"));
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setNameFilters(AddImageFilters());
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

QString ChooseFolder() {
  return QFileDialog::getExistingDirectory(nullptr, QStringLiteral("Add folder"),
                                           QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

QString ChooseOutputPdf() {
  QFileDialog dialog(nullptr, QStringLiteral("Output PDF"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(QStringLiteral("Portable Document Format (*.pdf)"));
  // Start asks before replacing a file, so the dialog does not.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

std::string ToStd(const QString& text) { return text.toStdString(); }

}  // namespace

QStringList AddImageFilters() {
  // Qt's file dialog splits a filter's patterns at spaces; with semicolons the first filter,
  // the one selected when the dialog opens, would be one pattern that matches no file.
  return {QStringLiteral("All images (*.bmp *.gif *.jpg *.jpeg *.jp2 *.pcx *.png *.psd)"),
          QStringLiteral("Windows Bitmap (*.bmp)"),
          QStringLiteral("Graphics Interchange Format (*.gif)"),
          QStringLiteral("JPEG Image File (*.jpg)"),
          QStringLiteral("JPEG Image File (*.jpeg)"),
          QStringLiteral("JPEG-2000 Format (*.jp2)"),
          QStringLiteral("Paintbrush File (*.pcx)"),
          QStringLiteral("Portable Network Graphics (*.png)"),
          QStringLiteral("Photoshop Bitmap File (*.psd)")};
}

QString TidyOutputName(const QString& name) {
  const QString trimmed = name.trimmed();
  if (trimmed.isEmpty()) return trimmed;
  if (!trimmed.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) return trimmed + QStringLiteral(".pdf");
  return trimmed;
}

TRunControl::TRunControl(TMainForm& form, std::string tempFolder)
    : QObject(&form), form_(form), tempFolder_(std::move(tempFolder)) {
  choosers_ = {ChooseImages, ChooseFolder, ChooseOutputPdf};
  openInShell_ = platform::OpenInShell;
  form_.sListViewImages->setAcceptDrops(true);
  form_.sListViewImages->viewport()->setAcceptDrops(true);
  listViewport_ = form_.sListViewImages->viewport();
  outputField_ = form_.sFilenameEditOutputPDF;
  form_.sListViewImages->viewport()->installEventFilter(this);
  form_.sFilenameEditOutputPDF->setReadOnly(true);
  form_.sFilenameEditOutputPDF->setAcceptDrops(true);
  form_.sFilenameEditOutputPDF->installEventFilter(this);

  connect(form_.sBitBtnAddImage, &QPushButton::clicked, this, [this] { sBitBtnAddImageClick(); });
  connect(form_.sBitBtnAddFolder, &QPushButton::clicked, this, [this] { sBitBtnAddFolderClick(); });
  connect(form_.sBitBtnStart, &QPushButton::clicked, this, [this] { sBitBtnStartClick(); });
  connect(form_.sCheckBoxOutputPDF, &QCheckBox::toggled, this, [this] { sCheckBoxOutputPDFClick(); });
  connect(form_.sBitBtnOpen, &QPushButton::clicked, this, [this] { sBitBtnOpenClick(); });
  for (QLineEdit* edit : {form_.sEditTextTitle, form_.sEditSubject, form_.sEditAuthor, form_.sEditKeywords}) {
    connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) { edit->setToolTip(text.trimmed()); });
  }
  SetStartButton(false);
}

TRunControl::~TRunControl() { StopWorkers(); }

std::vector<QWidget*> TRunControl::RunControls() const {
  const preview::TPreviewPane& pane = *form_.PreviewPane;
  return {form_.sBitBtnAddImage,  form_.sBitBtnAddFolder,  form_.sBitBtnRemove,
          form_.sBitBtnDonate,    form_.sBitBtnHelp,       form_.sBitBtnAbout,
          form_.sListViewImages,  form_.sCheckBoxShowFullPath, form_.sButtonSelect,
          form_.sButtonMoveUp,    form_.sButtonMoveDown,   form_.sButtonRemoveDuplications,
          form_.sCheckBoxOutputPDF, form_.sFilenameEditOutputPDF, form_.sBitBtnOpen,
          pane.sBitBtnPreviewPrev, pane.sBitBtnPreviewNext, pane.sBitBtnPreview,
          pane.sBitBtnCopy,       pane.sBitBtnPreviewRemove, form_.sEditTextTitle,
          form_.sEditSubject,     form_.sEditAuthor,       form_.sEditKeywords};
}

bool TRunControl::WorkerAlive() const {
  return (reading_ && !reading_->isFinished()) || (conversion_ && !conversion_->isFinished());
}

void TRunControl::StopWorkers() {
  platform::StopAndJoin(reading_.get());
  platform::StopAndJoin(conversion_.get());
  reading_.reset();
  conversion_.reset();
}

void TRunControl::JoinFinishedWorkers() {
  // Two runs never share the facade or the list.
  StopWorkers();
}

// --- Adding images ---------------------------------------------------------------------

void TRunControl::sBitBtnAddImageClick() {
  const QStringList chosen = choosers_.addImages ? choosers_.addImages() : QStringList{};
  if (chosen.isEmpty()) return;
  std::vector<std::string> paths;
  for (const QString& path : chosen) paths.push_back(ToStd(path));
  StartReading(std::move(paths));
}

void TRunControl::sBitBtnAddFolderClick() {
  const QString folder = choosers_.addFolder ? choosers_.addFolder() : QString{};
  if (folder.isEmpty()) return;
  std::vector<std::string> paths = conversion::ScanFolder(ToStd(folder));
  if (paths.empty()) {
    ShowNotice(kAddingImages, kNoSupportedImages, NoticeKind::Warning);
    return;
  }
  StartReading(std::move(paths));
}

void TRunControl::AcceptDroppedFiles(const QList<QUrl>& urls) {
  form_.raise();
  form_.activateWindow();
  std::vector<std::string> taken;
  for (const QUrl& url : urls) {
    // Local files only; QUrl has already undone the percent-encoding, and paths of any length
    // are kept whole.
    if (!url.isLocalFile()) continue;
    const std::string path = ToStd(url.toLocalFile());
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
      std::vector<std::string> found = conversion::ScanFolder(path);
      taken.insert(taken.end(), found.begin(), found.end());
    } else if (conversion::HasSupportedExtension(path)) {
      taken.push_back(path);
    }
  }
  if (taken.empty()) {
    ShowNotice(kAddingImages, kNoSupportedImages, NoticeKind::Warning);
    return;
  }
  StartReading(std::move(taken));
}

void TRunControl::StartReading(std::vector<std::string> paths) {
  JoinFinishedWorkers();
  conversionSteps_ = false;
  form_.ReadingRunning = true;
  reading_ = std::make_unique<imagelist::TReadingImagesProcess>(*this, std::move(paths),
                                                                platform::ScreenLogicalDpi());
  reading_->start();
}

// --- Shared window steps ---------------------------------------------------------------

void TRunControl::SetStartButton(bool running) {
  QPushButton* start = form_.sBitBtnStart;
  start->setText(running ? QStringLiteral("Stop") : QStringLiteral("Start"));
  start->setProperty("glyph", running ? QStringLiteral("main8-stop") : QStringLiteral("main7-start"));
  start->setIcon(start->style()->standardIcon(running ? QStyle::SP_MediaStop : QStyle::SP_MediaPlay));
}

void TRunControl::DisableControls(const char* processingCaption) {
  for (QWidget* control : RunControls()) control->setEnabled(false);
  QLabel* processing = form_.sLabelFXProcessing;
  processing->setText(QString::fromLatin1(processingCaption));
  processing->adjustSize();
  processing->show();
  form_.sLabelFXCurrentImage->clear();
  form_.sLabelFXCurrentImage->move(processing->x() + processing->width() - 2, form_.sLabelFXCurrentImage->y());
  form_.sLabelFXCurrentImage->show();
}

void TRunControl::EnableControls() {
  const std::vector<QWidget*> controls = RunControls();
  for (QWidget* control : controls) control->setEnabled(true);
  const bool output = form_.sCheckBoxOutputPDF->isChecked();
  form_.sFilenameEditOutputPDF->setEnabled(output);
  form_.sBitBtnOpen->setEnabled(output);
  const preview::TPreviewPane& pane = *form_.PreviewPane;
  const bool previewShown = pane.tImage32Preview->isVisibleTo(form_.PreviewPane);
  for (QWidget* button : {static_cast<QWidget*>(pane.sBitBtnPreview), static_cast<QWidget*>(pane.sBitBtnCopy),
                          static_cast<QWidget*>(pane.sBitBtnPreviewRemove)})
    button->setEnabled(previewShown);
}

int TRunControl::AvailableStatusWidth() const {
  return form_.sStatusBar1->PanelWidth(2) - (form_.sLabelFXProcessing->width() + 10);
}

void TRunControl::ShowPathInStatus(const std::string& path) {
  QLabel* label = form_.sLabelFXCurrentImage;
  label->hide();
  label->setText(
      preview::ShortenToFit(QString::fromStdString(path), QFontMetrics(label->font()), AvailableStatusWidth()));
  label->adjustSize();
  label->show();
}

void TRunControl::DisableWindowForRun() {
  if (conversionSteps_) {
    DisableForConversion();
    return;
  }
  DisableControls("Reading image:");
  SetStartButton(true);
  form_.sBitBtnStart->setFocus();
  form_.ImageList().BeginUpdate();
}

void TRunControl::RestoreWindowAfterRun() {
  if (!conversionSteps_) {
    RestoreReading();
    return;
  }
  form_.ConversionRunning = false;
  preview::TPreviewPane& pane = *form_.PreviewPane;
  pane.ShowPreviewHeader();
  pane.RefreshPreviewPlaceholder();
  if (!pane.PreviewFilePath().empty()) {
    pane.LoadPreviewImage(pane.PreviewFilePath());
    pane.sLabelScale->show();
  } else {
    pane.LabelPreviewImage->setText(QStringLiteral("Preview image"));
    pane.LabelPreviewImage->setToolTip({});
    pane.sPanelContent->setText(QStringLiteral("Click on the list to preview an image"));
  }
  EnableControls();  // after the reload, so the preview buttons follow the preview shown
  form_.sLabelFXProcessing->hide();
  form_.sLabelFXProcessing->clear();
  form_.sLabelFXCurrentImage->hide();
  form_.sLabelFXCurrentImage->clear();
  SetStartButton(false);
  form_.sGaugeProcess->setTextVisible(false);
  form_.sGaugeProcess->setValue(0);
  form_.sListViewImages->setFocus();
  emit RunEnded();
}

// --- Reading run steps -----------------------------------------------------------------

void TRunControl::ShowReadingFile(int currentIndex, int pathCount, const std::string& currentPath) {
  form_.sGaugeProcess->setTextVisible(true);
  form_.sGaugeProcess->setValue(conversion::RoundedPercent(currentIndex + 1, pathCount));
  ShowPathInStatus(currentPath);
}

void TRunControl::AddEntryRow(std::array<std::string, imagelist::kSubItemCount> subItems) {
  form_.ImageList().Append(imagelist::MakeEntry(std::move(subItems), form_.sCheckBoxShowFullPath->isChecked()));
  form_.sGaugeProcess->setTextVisible(false);
  form_.sGaugeProcess->setValue(0);
}

void TRunControl::PostLog(const std::string& line) { app::PostLog(line); }

void TRunControl::RestoreReading() {
  form_.ImageList().EndUpdate();
  EnableControls();
  form_.sLabelFXProcessing->hide();
  form_.sLabelFXProcessing->setText(QStringLiteral("Processing:"));
  form_.sLabelFXProcessing->adjustSize();
  form_.sLabelFXCurrentImage->hide();
  form_.sLabelFXCurrentImage->clear();
  SetStartButton(false);
  form_.PreviewPane->RefreshPreviewPlaceholder();
  form_.UpdateListCounts();
  form_.ReadingRunning = false;
  emit RunEnded();
}

// --- Conversion run steps --------------------------------------------------------------

void TRunControl::DisableForConversion() {
  preview::TPreviewPane& pane = *form_.PreviewPane;
  pane.RefreshPreviewPlaceholder();
  pane.LabelPreviewImage->setText(QStringLiteral("Processing images"));
  pane.LabelPreviewImage->setToolTip({});
  pane.sPanelContent->setText(QStringLiteral("Exporting PDF..."));
  pane.sPanelContent->show();
  pane.tImage32Preview->hide();
  pane.sPanelAGIFInfo->hide();
  pane.ShowPreviewProperties({});
  pane.sLabelScale->hide();
  DisableControls("Processing image:");
  form_.sGaugeProcess->setValue(0);
  form_.sGaugeProcess->setTextVisible(true);
  SetStartButton(true);
  form_.sBitBtnStart->setFocus();
}

void TRunControl::ApplyEntryStatus(size_t row, conversion::EntryStatus status) {
  imagelist::ImageListModel& list = form_.ImageList();
  const int index = static_cast<int>(row);
  list.SetStatus(index, static_cast<imagelist::ImageStatus>(static_cast<int>(status)));
  if (status == conversion::EntryStatus::Converted) list.SetTick(index, false);
}

void TRunControl::ShowCurrentFile(size_t row, const std::string& path, int percent) {
  form_.ImageList().ScrollIntoView(static_cast<int>(row));
  ShowPathInStatus(path);
  form_.sGaugeProcess->setValue(percent);
}

void TRunControl::ShowWritingStatus() {
  form_.sLabelFXProcessing->setText(QStringLiteral("Writing PDF document..."));
  form_.sLabelFXProcessing->adjustSize();
  form_.sLabelFXCurrentImage->hide();
  form_.sLabelFXCurrentImage->clear();
}

void TRunControl::ReportWriteError(const std::vector<size_t>& processedRows) {
  imagelist::ImageListModel& list = form_.ImageList();
  for (size_t row : processedRows) {
    const int index = static_cast<int>(row);
    if (list.Row(index).status == imagelist::ImageStatus::Converted) list.SetTick(index, true);
  }
  ShowNotice(QStringLiteral("PDF write error"),
             QStringLiteral("Error on PDF file writing!\r\nProbably an other application uses this document."),
             NoticeKind::Alert);
}

void TRunControl::OpenWrittenFile(const std::string& path) {
  if (openInShell_) openInShell_(path);
}

// --- Start, Stop and the output file ---------------------------------------------------

void TRunControl::sBitBtnStartClick() {
  if (form_.ConversionRunning) {
    const QString answer = AskYesNo(QStringLiteral("Cancelling export PDF"),
                                    QStringLiteral("Are you sure you want to cancel"),
                                    QStringLiteral("the exporting process?"));
    if (answer == QStringLiteral("yes") && form_.ConversionRunning && conversion_) {
      form_.ConversionRunning = false;
      conversion_->requestInterruption();
    }
    return;
  }
  if (form_.ReadingRunning) {
    form_.ReadingRunning = false;
    if (reading_) reading_->requestInterruption();
    return;
  }

  // A stopped worker may still be finishing its file or page and has not yet given the window
  // back; the checks below read the window as that worker leaves it.
  JoinFinishedWorkers();
  const imagelist::ImageListModel& list = form_.ImageList();
  std::vector<conversion::ConversionEntry> entries;
  bool anyConvertible = false;
  for (int row = 0; row < list.Count(); ++row) {
    entries.push_back({list.Row(row).fullPath(), list.Row(row).IsConvertible()});
    anyConvertible = anyConvertible || entries.back().convertible;
  }
  const QString output = form_.sFilenameEditOutputPDF->text();
  if (list.Empty()) {
    ShowNotice(QStringLiteral("No images"), QStringLiteral("Add some images to the list!"), NoticeKind::Warning);
  } else if (!anyConvertible) {
    ShowNotice(QStringLiteral("No slected images"),
               QStringLiteral("Please select at least one valid\r\nimage from the list!"), NoticeKind::Warning);
  } else if (output.isEmpty() || !form_.sFilenameEditOutputPDF->isEnabled()) {
    ShowNotice(QStringLiteral("No target path"), QStringLiteral("Please specify the output PDF!"),
               NoticeKind::Warning);
  } else if (!QFileInfo::exists(output) ||
             AskYesNo(QStringLiteral("Export to an existing PDF"), output + QStringLiteral(" is already exists."),
                      QStringLiteral("Do you want to replace it?")) == QStringLiteral("yes")) {
    form_.PreviewPane->RefreshPreviewPlaceholder();
    conversion::RunSettings settings;
    settings.outputPath = ToStd(output);
    settings.tempFolder = tempFolder_;
    settings.texts = {ToStd(form_.sEditAuthor->text()), ToStd(form_.sEditTextTitle->text()),
                      ToStd(form_.sEditSubject->text()), ToStd(form_.sEditKeywords->text())};
    conversionSteps_ = true;
    form_.ConversionRunning = true;
    conversion_ =
        std::make_unique<conversion::TConversionProcess>(*this, std::move(entries), std::move(settings));
    conversion_->start();
  }
  form_.sListViewImages->setFocus();
}

void TRunControl::sCheckBoxOutputPDFClick() {
  const bool ticked = form_.sCheckBoxOutputPDF->isChecked();
  form_.sFilenameEditOutputPDF->setEnabled(ticked);
  form_.sBitBtnOpen->setEnabled(ticked);
  if (!ticked) {
    form_.sFilenameEditOutputPDF->clear();
    form_.sFilenameEditOutputPDF->setToolTip({});
  }
}

void TRunControl::sFilenameEditOutputPDFClick() {
  const QString chosen = choosers_.outputPdf ? choosers_.outputPdf() : QString{};
  if (!chosen.isEmpty()) SetOutputName(chosen);
}

void TRunControl::SetOutputName(const QString& name) {
  form_.sFilenameEditOutputPDF->setText(name);
  sFilenameEditOutputPDFChange();
}

void TRunControl::sFilenameEditOutputPDFChange() {
  QLineEdit* field = form_.sFilenameEditOutputPDF;
  // An emptied field has nothing to check; testing it would only refuse it again.
  if (field->text().trimmed().isEmpty()) {
    field->clear();
    field->setToolTip({});
    return;
  }
  const QString text = field->text();
  const qsizetype slash = text.lastIndexOf(QLatin1Char('/'));
  const QString folder = slash < 0 ? QStringLiteral(".") : text.left(slash + 1);
  if (IsFolderWritable(ToStd(folder))) {
    field->setText(TidyOutputName(text));
    field->setToolTip(field->text());
  } else {
    field->clear();
    field->setToolTip({});
    ShowNotice(QStringLiteral("Not writable folder"), QStringLiteral("The selected folder not writable!\r\n") + folder,
               NoticeKind::Alert);
  }
}

void TRunControl::sBitBtnOpenClick() {
  const QString name = form_.sFilenameEditOutputPDF->text();
  if (!name.isEmpty() && openInShell_) openInShell_(ToStd(name));
}

bool TRunControl::eventFilter(QObject* watched, QEvent* event) {
  // Compared by address only: the window's own pointers are gone while it is destroyed.
  const bool onList = watched == listViewport_;
  const bool onOutput = watched == outputField_;
  if (!onList && !onOutput) return QObject::eventFilter(watched, event);
  const auto* widget = static_cast<QWidget*>(watched);
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (drag->mimeData()->hasUrls() && widget->isEnabled()) {
        drag->acceptProposedAction();
      } else {
        drag->ignore();
      }
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      if (!widget->isEnabled() || !drop->mimeData()->hasUrls()) return true;
      drop->acceptProposedAction();
      const QList<QUrl> urls = drop->mimeData()->urls();
      if (onList) {
        AcceptDroppedFiles(urls);
      } else if (!urls.isEmpty() && urls.constFirst().isLocalFile()) {
        SetOutputName(urls.constFirst().toLocalFile());
      }
      return true;
    }
    case QEvent::MouseButtonPress:
      if (onOutput && widget->isEnabled()) {
        sFilenameEditOutputPDFClick();
        return true;
      }
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace app
