// Adding images, the two workers' window steps, the output file and the Start/Stop button.
#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "conversion/ConversionProcess.h"
#include "imagelist/ReadingImagesProcess.h"

class QLabel;
class QWidget;

namespace app {

class TMainForm;

// "All images (...)" first, then one filter per format, as the "Add image" dialog lists them.
QStringList AddImageFilters();

// The first 24 characters, "... " and as much of the end as fits in `available` pixels
// (nothing of the end when even that is too wide); the text itself when it fits.

// The output name as the change handler tidies it: trimmed, ".pdf" appended unless the name
// already ends with it in any case.
QString TidyOutputName(const QString& name);

// Every file chooser the commands open; tests replace them.
struct FileChoosers {
  std::function<QStringList()> addImages;  // empty when cancelled
  std::function<QString()> addFolder;
  std::function<QString()> outputPdf;
};

class TRunControl : public QObject, public imagelist::ReadingHost, public conversion::ConversionHost {
  Q_OBJECT
 public:
  TRunControl(TMainForm& form, std::string tempFolder);
  ~TRunControl() override;

  void SetFileChoosers(FileChoosers choosers) { choosers_ = std::move(choosers); }
  // Where the written file goes to be shown; the desktop's viewer unless replaced.
  void SetShellOpen(std::function<void(const std::string&)> open) { openInShell_ = std::move(open); }

  void sBitBtnAddImageClick();
  void sBitBtnAddFolderClick();
  void AcceptDroppedFiles(const QList<QUrl>& urls);
  void sBitBtnStartClick();
  void sCheckBoxOutputPDFClick();
  void sFilenameEditOutputPDFClick();
  // Sets the output field to a chosen or dropped name and checks it.
  void SetOutputName(const QString& name);
  void sFilenameEditOutputPDFChange();
  void sBitBtnOpenClick();

  void StartReading(std::vector<std::string> paths);
  // Stops and joins any worker; the window calls it before it releases what they use.
  void StopWorkers();
  bool WorkerAlive() const;

  // The 24 controls a run disables, in order.
  std::vector<QWidget*> RunControls() const;

 signals:
  // A worker has returned the window to idle.
  void RunEnded();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void DisableControls(const char* processingCaption);
  void EnableControls();
  void SetStartButton(bool running);
  int AvailableStatusWidth() const;
  void ShowPathInStatus(const std::string& path);
  void JoinFinishedWorkers();

  // Reading run steps.
  void DisableWindowForRun() override;
  void ShowReadingFile(int currentIndex, int pathCount, const std::string& currentPath) override;
  void AddEntryRow(std::array<std::string, imagelist::kSubItemCount> subItems) override;
  void PostLog(const std::string& line) override;
  void RestoreReading();

  // Conversion run steps.
  void DisableForConversion();
  void ApplyEntryStatus(size_t row, conversion::EntryStatus status) override;
  void ShowCurrentFile(size_t row, const std::string& path, int percent) override;
  void ShowWritingStatus() override;
  void ReportWriteError(const std::vector<size_t>& processedRows) override;
  void OpenWrittenFile(const std::string& path) override;
  void RestoreWindowAfterRun() override;

  TMainForm& form_;
  std::string tempFolder_;
  FileChoosers choosers_;
  std::function<void(const std::string&)> openInShell_;
  const QObject* listViewport_ = nullptr;
  const QObject* outputField_ = nullptr;
  bool conversionSteps_ = false;  // which variant the shared host steps serve
  std::unique_ptr<imagelist::TReadingImagesProcess> reading_;
  std::unique_ptr<conversion::TConversionProcess> conversion_;
};

}  // namespace app
