#include "conversion/ConversionEngine.h"

#include <filesystem>
#include <memory>
#include <new>
#include <stdexcept>
#include <system_error>

#include "conversion/PreparePage.h"
#include "pdf/TextString.h"
#include "pdf/Vellum.h"
#include "platform/uConst.h"

namespace conversion {

namespace {

using pdf::Utf8ToUtf16;

enum InfoKey : int32_t { kAuthor = 1, kTitle = 2, kSubject = 3, kKeywords = 4, kCreator = 5, kProducer = 6 };

class Run {
 public:
  Run(const RunSettings& settings, ConversionObserver& observer)
      : settings_(settings), observer_(observer), facade_(CreatePdfEngine()) {}
  ~Run() { FreePdfEngine(facade_); }
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  RunSummary Execute(const std::vector<ConversionEntry>& entries);

 private:
  void StartDocument();
  void ConvertEntry(size_t row, const std::string& path);
  // The page steps for one entry; the reason on failure, empty on success.
  std::string PreparePage(const std::string& path);
  std::string PlaceOnNewPage(const PageImage& image);

  const RunSettings& settings_;
  ConversionObserver& observer_;
  std::unique_ptr<pdf::TVellum0813> facade_;
  RunSummary summary_;
  int pagesPlaced_ = 0;
  int pagesMade_ = 0;
};

RunSummary Run::Execute(const std::vector<ConversionEntry>& entries) {
  for (const auto& entry : entries) summary_.convertibleCount += entry.convertible ? 1 : 0;
  StartDocument();

  bool stopped = false;
  for (size_t row = 0; row < entries.size(); ++row) {
    if (observer_.StopRequested()) {
      stopped = true;
      break;
    }
    if (entries[row].convertible) ConvertEntry(row, entries[row].path);
  }

  summary_.pagesWritten = pagesMade_;
  if (stopped || observer_.StopRequested()) {
    summary_.outcome = RunOutcome::Stopped;
    summary_.pagesWritten = 0;
    return summary_;
  }
  if (pagesMade_ == 0) {
    summary_.outcome = RunOutcome::NothingConverted;
    return summary_;
  }
  observer_.WritingStarted();
  const bool written = facade_->WriteToFile(Utf8ToUtf16(settings_.outputPath)) != 0;
  observer_.WriteFinished(written);
  summary_.outcome = written ? RunOutcome::Written : RunOutcome::WriteFailed;
  if (!written) summary_.pagesWritten = 0;
  return summary_;
}

void Run::StartDocument() {
  facade_->CreateDocument();
  const DocumentTexts& t = settings_.texts;
  facade_->SetDocumentInfo(kAuthor, Utf8ToUtf16(t.author));
  facade_->SetDocumentInfo(kTitle, Utf8ToUtf16(t.title));
  facade_->SetDocumentInfo(kSubject, Utf8ToUtf16(t.subject));
  facade_->SetDocumentInfo(kKeywords, Utf8ToUtf16(t.keywords));
  facade_->SetDocumentInfo(kCreator, Utf8ToUtf16(CreatorText()));
  facade_->SetDocumentInfo(kProducer, Utf8ToUtf16(ProducerText()));
  facade_->SetUnits(0);         // points: one point per source pixel
  facade_->SetOriginCorner(1);  // top-left
  facade_->SetImageImportMode(1);
  // Pages are appended one per converted entry rather than all up front, so that a failed
  // entry leaves no blank page behind and no per-call page limit applies.
}

void Run::ConvertEntry(size_t row, const std::string& path) {
  summary_.processedRows.push_back(row);
  ++pagesPlaced_;
  observer_.EntryStatusChanged(row, EntryStatus::Processing, {});
  observer_.CurrentFile(row, path, pagesPlaced_, summary_.convertibleCount,
                        RoundedPercent(pagesPlaced_, summary_.convertibleCount));
  std::string reason;
  try {
    reason = PreparePage(path);
  } catch (const std::bad_alloc&) {
    reason = "out of memory";
  } catch (const std::exception& e) {
    reason = e.what();
  }
  if (reason.empty()) {
    observer_.EntryStatusChanged(row, EntryStatus::Converted, {});
  } else {
    ++summary_.failed;
    observer_.EntryStatusChanged(row, EntryStatus::Failed, reason);
  }
}

std::string Run::PreparePage(const std::string& path) {
  const PageImage image = PreparePageImage(path, settings_.tempFolder);
  if (!image.ok()) return image.error;
  std::string reason = PlaceOnNewPage(image);
  std::error_code ignored;
  std::filesystem::remove(image.jpegPath, ignored);
  return reason;
}

std::string Run::PlaceOnNewPage(const PageImage& image) {
  // The image is loaded before its page exists, so that a JPEG the writer refuses costs no page.
  const pdf::ImageHandle handle = facade_->LoadImageFile(Utf8ToUtf16(image.jpegPath), 0);
  if (handle == 0) return "the PDF writer could not read the page image";
  if (pagesMade_ > 0 && facade_->AppendPages(pagesMade_ + 1, 1) == 0) return "the PDF writer could not add a page";
  ++pagesMade_;

  const double w = image.width, h = image.height;
  facade_->ActivatePage(pagesMade_);
  facade_->SetPageSize(w, h);
  facade_->ActivateImage(handle);
  facade_->PlaceImage(0, 0, w, h);
  facade_->AddWebLink(0, 0, w, h, Utf8ToUtf16(platform::Texts().productWebPage), 0);
  return {};
}

}  // namespace

std::string CreatorText() {
  const auto& t = platform::Texts();
  return t.productName + " v" + t.productVersion + ", " + "\u00A9" + " " + t.makerName;
}

std::string ProducerText() {
  const auto& t = platform::Texts();
  return t.productName + " - " + t.productWebPage;
}

int RoundedPercent(int64_t done, int64_t total) {
  if (total <= 0) return 0;
  const int64_t scaled = done * 100;
  int64_t quotient = scaled / total;
  const int64_t twiceRemainder = 2 * (scaled % total);
  if (twiceRemainder > total || (twiceRemainder == total && quotient % 2 != 0)) ++quotient;
  return static_cast<int>(quotient);
}

std::unique_ptr<pdf::TVellum0813> CreatePdfEngine() { return std::make_unique<pdf::TVellum0813>(); }

void FreePdfEngine(std::unique_ptr<pdf::TVellum0813>& engine) { engine.reset(); }

RunSummary RunConversion(const std::vector<ConversionEntry>& entries, const RunSettings& settings,
                         ConversionObserver& observer) {
  Run run(settings, observer);
  return run.Execute(entries);
}

}  // namespace conversion
