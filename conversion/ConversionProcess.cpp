#include "conversion/ConversionProcess.h"

#include <exception>
#include <utility>


namespace conversion {

TConversionProcess::TConversionProcess(ConversionHost& host, std::vector<ConversionEntry> entries,
                                       RunSettings settings)
    : host_(host), entries_(std::move(entries)), settings_(std::move(settings)) {}

TConversionProcess::~TConversionProcess() {
  requestInterruption();
  Join();
}

void TConversionProcess::Work() {
  RunOnOwnerThread([this] { host_.DisableWindowForRun(); });
  try {
    summary_ = RunConversion(entries_, settings_, *this);
    if (summary_.outcome == RunOutcome::Written) {
      RunOnOwnerThread([this] { host_.OpenWrittenFile(settings_.outputPath); });
    } else if (summary_.outcome == RunOutcome::WriteFailed) {
      RunOnOwnerThread([this] { host_.ReportWriteError(summary_.processedRows); });
    }
  } catch (const std::exception&) {
    // Out of memory or the like outside the per-entry protection: the run ends without a
    // file, and the window still returns to idle below.
    summary_.outcome = RunOutcome::NothingConverted;
  }
  RunOnOwnerThread([this] { host_.RestoreWindowAfterRun(); });
}

bool TConversionProcess::StopRequested() { return isInterruptionRequested(); }

void TConversionProcess::EntryStatusChanged(size_t row, EntryStatus status, const std::string& /*reason*/) {
  RunOnOwnerThread([this, row, status] { host_.ApplyEntryStatus(row, status); });
}

void TConversionProcess::CurrentFile(size_t row, const std::string& path, int /*pagesPlaced*/,
                                     int /*convertibleCount*/, int percent) {
  RunOnOwnerThread([this, row, &path, percent] { host_.ShowCurrentFile(row, path, percent); });
}

void TConversionProcess::WritingStarted() {
  RunOnOwnerThread([this] { host_.ShowWritingStatus(); });
}

}  // namespace conversion
