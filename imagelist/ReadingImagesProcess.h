// The background reading of newly added files: each file's format, dimensions, resolution and
// size become one new row at the end of the list.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "imagelist/ImageEntry.h"
#include "platform/MainThreadCall.h"

namespace imagelist {

// Below 1024 bytes the count itself, then whole KB, then whole MB, halves to the even
// neighbour: 1023 -> "1023", 1536 -> "2 KB", 2560 -> "2 KB".
std::string SizeText(uint64_t bytes);

// From dots per metre: "300", or "300 x 150" when the two differ; 0 reads as the screen's DPI.
std::string DpiText(unsigned dotsPerMetreX, unsigned dotsPerMetreY, int screenDpi);

// The window reads headers only: a 12-megapixel JPEG takes about 0.1 ms that way against some
// 250 ms to decode, so 1,000 photos are listed in a tenth of a second instead of minutes
// (bench/reading_bench.sh). A sound file shows the same either way; damaged pixel data then
// shows as a Failed entry when it is converted.
enum class ReadMode {
  // The header alone gives format, size and resolution; damaged pixel data shows at conversion.
  HeaderOnly,
  // Every file is decoded once, so damaged pixel data shows as an unreadable row at once.
  FullDecode,
};

struct ImageProperties {
  bool unreadable = true;
  std::string format = kUnknownFormat;
  std::string dimensions = "-";
  std::string dpi = "-";
  std::string error;  // why the file is unreadable, for the log
};

// Never decodes a file whose content is not one of the seven formats or whose header claims
// more pixels than the converter accepts.
ImageProperties ReadImageProperties(const std::string& path, int screenDpi, ReadMode mode);

// What the reading run asks of the window; every call is made on the window's thread.
class ReadingHost {
 public:
  virtual ~ReadingHost() = default;
  // Reading variant: the run's flag is set, the editing controls are disabled and the list
  // enters one batch of changes.
  virtual void DisableWindowForRun() = 0;
  virtual void ShowReadingFile(int currentIndex, int pathCount, const std::string& currentPath) = 0;
  virtual void AddEntryRow(std::array<std::string, kSubItemCount> subItems) = 0;
  // Ends the batch, enables the controls, refreshes the preview placeholder, clears the flag.
  virtual void RestoreWindowAfterRun() = 0;
  virtual void PostLog(const std::string& line) = 0;
};

// Stop with requestInterruption(): the file being read is finished, the rest are skipped and
// the closing steps still run. The owner joins the thread before it goes away.
class TReadingImagesProcess : public platform::TStepThread {
 public:
  // The host's steps run on the thread that creates the worker.
  TReadingImagesProcess(ReadingHost& host, std::vector<std::string> paths, int screenDpi,
                        ReadMode mode = ReadMode::HeaderOnly);
  ~TReadingImagesProcess() override;

  const std::vector<std::string> Paths;

 protected:
  void Work() override;

 private:
  void ReadOne(int index);
  ReadingHost& host_;
  int screenDpi_;
  ReadMode mode_;
};

}  // namespace imagelist
