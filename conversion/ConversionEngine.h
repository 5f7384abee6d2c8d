// One conversion run without any window: ordered entries in, one PDF out, progress reported
// through an observer. The window's worker and the command-line program are thin layers over it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pdf {
class TVellum0813;
}

namespace conversion {

// Each run has its own facade, made before its first facade call and freed after its last;
// the owner is the run, so no reference outlives it.
std::unique_ptr<pdf::TVellum0813> CreatePdfEngine();
void FreePdfEngine(std::unique_ptr<pdf::TVellum0813>& engine);

// Numbered as the list's status icons.
enum class EntryStatus : int { Converted = 0, Failed = 1, Processing = 2 };

struct ConversionEntry {
  std::string path;
  bool convertible = true;  // ticked and of a known format; other entries are passed over
};

// Author, Title, Subject and Keywords exactly as the user typed them (UTF-8, not trimmed).
struct DocumentTexts {
  std::string author;
  std::string title;
  std::string subject;
  std::string keywords;
};

// Every callback runs on the engine's thread; a window forwards them to its own thread.
class ConversionObserver {
 public:
  virtual ~ConversionObserver() = default;
  // Asked before each entry and before writing.
  virtual bool StopRequested() { return false; }
  // Processing when an entry starts, then Converted or Failed with the reason.
  virtual void EntryStatusChanged(size_t /*row*/, EntryStatus /*status*/, const std::string& /*reason*/) {}
  // As an entry starts: its page number among the convertible entries and the percentage
  // (pagesPlaced / convertibleCount, to the nearest integer, halves to even).
  virtual void CurrentFile(size_t /*row*/, const std::string& /*path*/, int /*pagesPlaced*/,
                           int /*convertibleCount*/, int /*percent*/) {}
  virtual void WritingStarted() {}
  virtual void WriteFinished(bool /*written*/) {}
};

enum class RunOutcome {
  Written,           // the file holds one page per converted entry
  WriteFailed,       // pages were made but the file could not be written; an old file is intact
  Stopped,           // a stop was requested; nothing was written
  NothingConverted,  // no entry gave a page; nothing was written
};

struct RunSummary {
  RunOutcome outcome = RunOutcome::NothingConverted;
  int convertibleCount = 0;
  int pagesWritten = 0;  // pages in the written PDF (0 unless something converted)
  int failed = 0;
  std::vector<size_t> processedRows;  // every convertible entry handled, in order
};

struct RunSettings {
  std::string outputPath;
  std::string tempFolder;  // ends with "/"
  DocumentTexts texts;
};

// "Lumenfold v1.0, © <maker>" and "Lumenfold - <web page>" from the built-in texts.
std::string CreatorText();
std::string ProducerText();

// Percentage of done out of total, to the nearest integer with halves to the even neighbour.
int RoundedPercent(int64_t done, int64_t total);

// A failed entry gets no page, so the pages of the converted entries are consecutive; a run
// that converts nothing writes no file.
RunSummary RunConversion(const std::vector<ConversionEntry>& entries, const RunSettings& settings,
                         ConversionObserver& observer);

}  // namespace conversion
