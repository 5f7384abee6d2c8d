#include "conversion/ConversionProcess.h"

#include <exception>
#include <utility>

#include "platform/MainThreadCall.h"

namespace conversion {

TConversionProcess::TConversionProcess(QObject* window, ConversionHost& host, std::vector<ConversionEntry> entries,
                                       RunSettings settings)
    : window_(window), host_(host), entries_(std::move(entries)), settings_(std::move(settings)) {}

TConversionProcess::~TConversionProcess() {
  requestInterruption();
  wait();
}

template <typename Step>
void TConversionProcess::OnWindowThread(Step&& step) {
  platform::RunOnOwnerThread(window_, std::forward<Step>(step));
}

void TConversionProcess::run() {
  OnWindowThread([this] { host_.DisableWindowForRun(); });
  try {
    summary_ = RunConversion(entries_, settings_, *this);
    if (summary_.outcome == RunOutcome::Written) {
      OnWindowThread([this] { host_.OpenWrittenFile(settings_.outputPath); });
    } else if (summary_.outcome == RunOutcome::WriteFailed) {
      OnWindowThread([this] { host_.ReportWriteError(summary_.processedRows); });
    }
  } catch (const std::exception&) {
    // Out of memory or the like outside the per-entry protection: the run ends without a
    // file, and the window still returns to idle below.
    summary_.outcome = RunOutcome::NothingConverted;
  }
  OnWindowThread([this] { host_.RestoreWindowAfterRun(); });
}

bool TConversionProcess::StopRequested() { return isInterruptionRequested(); }

void TConversionProcess::EntryStatusChanged(size_t row, EntryStatus status, const std::string& /*reason*/) {
  OnWindowThread([this, row, status] { host_.ApplyEntryStatus(row, status); });
}

void TConversionProcess::CurrentFile(size_t row, const std::string& path, int /*pagesPlaced*/,
                                     int /*convertibleCount*/, int percent) {
  OnWindowThread([this, row, &path, percent] { host_.ShowCurrentFile(row, path, percent); });
}

void TConversionProcess::WritingStarted() {
  OnWindowThread([this] { host_.ShowWritingStatus(); });
}

}  // namespace conversion
