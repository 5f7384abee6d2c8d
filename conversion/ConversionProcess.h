// The window's conversion run: the engine on its own thread, with every window step handed
// to the window's thread.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "conversion/ConversionEngine.h"
#include "platform/MainThreadCall.h"

namespace conversion {

// What the run asks of the window; every call is made on the window's thread.
class ConversionHost {
 public:
  virtual ~ConversionHost() = default;
  // Refreshes the preview placeholder and disables the editing controls.
  virtual void DisableWindowForRun() = 0;
  virtual void ApplyEntryStatus(size_t row, EntryStatus status) = 0;
  virtual void ShowCurrentFile(size_t row, const std::string& path, int percent) = 0;
  virtual void ShowWritingStatus() = 0;
  // Ticks the converted rows among processedRows again and reports the failure.
  virtual void ReportWriteError(const std::vector<size_t>& processedRows) = 0;
  virtual void OpenWrittenFile(const std::string& path) = 0;
  // Clears the run's flag and returns the window to idle.
  virtual void RestoreWindowAfterRun() = 0;
};

// Stop with requestInterruption(): the page under way is finished, nothing is written and the
// window is restored. The owner joins the thread before it goes away.
class TConversionProcess : public platform::TStepThread, private ConversionObserver {
 public:
  // The entries and settings are copies taken when Start was pressed, so the run never reads
  // the window's controls from its own thread.
  // The host's steps run on the thread that creates the worker.
  TConversionProcess(ConversionHost& host, std::vector<ConversionEntry> entries, RunSettings settings);
  ~TConversionProcess() override;

  // The engine's result once the thread has finished.
  const RunSummary& Summary() const { return summary_; }

 protected:
  void Work() override;

 private:
  bool StopRequested() override;
  void EntryStatusChanged(size_t row, EntryStatus status, const std::string& reason) override;
  void CurrentFile(size_t row, const std::string& path, int pagesPlaced, int convertibleCount,
                   int percent) override;
  void WritingStarted() override;
  ConversionHost& host_;
  const std::vector<ConversionEntry> entries_;
  const RunSettings settings_;
  RunSummary summary_;
};

}  // namespace conversion
