#include "pdf/Vellum.h"

#include <sys/stat.h>

#include <cmath>
#include <exception>
#include <utility>

#include "pdf/FileStream.h"
#include "pdf/PdfDate.h"
#include "pdf/PdfInfo.h"
#include "pdf/TextString.h"

namespace pdf {

namespace {

constexpr char16_t kDefaultProducer[] = u"Vellum PDF Library 8.13";
constexpr double kMillimetreFactor = 127.0 / 360.0;
constexpr double kInchFactor = 1.0 / 72.0;

constexpr const char* kInfoKeys[] = {"Author", "Title", "Subject", "Keywords", "Creator", "Producer",
                                     "CreationDate", "ModDate"};
const char* InfoKey(int32_t key) { return key >= 1 && key <= 8 ? kInfoKeys[key - 1] : nullptr; }

bool IsPdfVersion(const std::u16string& text) {
  return text.size() == 3 && text[0] == u'1' && text[1] == u'.' && text[2] >= u'0' && text[2] <= u'7';
}

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

bool IsExistingFile(const std::u16string& fileName) {
  const std::optional<std::string> name = Utf16ToFileSystemName(fileName);
  struct stat info{};
  return name && ::stat(name->c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// The one place where errors from below become results: the facade raises nothing.
template <class Result, class Operation>
Result Trap(Result onError, Operation&& operation) noexcept {
  try {
    return operation();
  } catch (...) {
    return onError;
  }
}

}  // namespace

TVellum::TVellum() { BuildDocument(); }

// Documents go first: their images and fonts are what the handle list points at.
TVellum::~TVellum() {
  selectedDocument_ = nullptr;
  documentList_.clear();
}

template <class T>
ImageHandle TVellum::HandleOfObject(T* object) {
  if (object == nullptr) return 0;
  const auto [where, added] = handlePositions_.try_emplace(object, static_cast<int32_t>(handleList_.size()));
  if (added) handleList_.emplace_back(object);
  return kHandleBase + where->second;
}

template <class T>
T* TVellum::ObjectFromHandle(ImageHandle handle) const {
  if ((handle & kHandleBase) != kHandleBase) return nullptr;
  const auto position = static_cast<size_t>(handle & kHandlePositionMask);
  if (position >= handleList_.size()) return nullptr;
  T* const* object = std::get_if<T*>(&handleList_[position]);
  return object != nullptr ? *object : nullptr;
}

TPDFDocument* TVellum::DocumentFromHandle(ImageHandle handle) const { return ObjectFromHandle<TPDFDocument>(handle); }
TPDFImage* TVellum::ImageFromHandle(ImageHandle handle) const { return ObjectFromHandle<TPDFImage>(handle); }
TPDFFont* TVellum::FontFromHandle(ImageHandle handle) const { return ObjectFromHandle<TPDFFont>(handle); }

ImageHandle TVellum::CreateDocument() {
  return Trap(0, [&] {
    lastErrorCode_ = 0;
    return BuildDocument();
  });
}

ImageHandle TVellum::BuildDocument() {
  auto document = std::make_unique<TPDFDocument>();
  if (!document->InitNewDocument()) return 0;
  SetInfoText(*document, "Producer", kDefaultProducer);
  SetInfoText(*document, "Creator", kDefaultProducer);
  SetInfoText(*document, "CreationDate", Widen(PdfDateNow()));
  SetInfoText(*document, "ModDate", Widen(PdfDateNow()));

  // From here on the lists hold the document; a later failure leaves it there, unselected
  // only if selection itself failed, and answers 0 through Trap.
  TPDFDocument* made = document.get();
  documentList_.push_back(std::move(document));
  SelectDocument(HandleOf(made));
  ActivatePage(1);
  return HandleOf(made);
}

int32_t TVellum::SelectDocument(ImageHandle handle) {
  return Trap(0, [&] {
    TPDFDocument* document = DocumentFromHandle(handle);
    if (document == nullptr) return 0;
    selectedDocument_ = document;
    selectedImage_ = document->Images.empty() ? nullptr : document->Images.front().get();
    selectedFont_ = nullptr;  // documents of this writer hold no fonts
    return 1;
  });
}

int32_t TVellum::SetDocumentInfo(int32_t key, const std::u16string& text) {
  return Trap(0, [&] {
    lastErrorCode_ = 0;
    if (key < 0 || key > 6) {
      lastErrorCode_ = kErrorBadInfoKey;
      return 0;
    }
    if (key == 0) {
      if (IsPdfVersion(text)) selectedDocument_->SetVersion(Utf16ToUtf8(text));
    } else {
      SetInfoText(*selectedDocument_, InfoKey(key), text);
    }
    return GetDocumentInfo(key) == text ? 1 : 0;
  });
}

std::u16string TVellum::GetDocumentInfo(int32_t key) {
  return Trap(std::u16string(), [&] {
    lastErrorCode_ = 0;
    if (key == 0) return Widen(selectedDocument_->Version());
    const char* name = InfoKey(key);
    return name != nullptr ? GetInfoText(*selectedDocument_, name) : std::u16string();
  });
}

int32_t TVellum::SetUnits(int32_t unit) {
  const double factors[] = {1.0, kMillimetreFactor, kInchFactor};
  selectedDocument_->UnitFactor = unit >= 0 && unit <= 2 ? factors[unit] : 1.0;
  return 1;
}

int32_t TVellum::SetOriginCorner(int32_t corner) {
  selectedDocument_->OriginCorner = corner >= 0 && corner <= 3 ? corner : 0;
  return 1;
}

int32_t TVellum::SetImageImportMode(int32_t mode) {
  if (mode != 0 && mode != 1) return 0;
  selectedDocument_->ImageImportMode = mode;
  return 1;
}

int32_t TVellum::AppendPages(int32_t position, int32_t count) {
  return Trap(0, [&] {
    if (count < 1 || count > kMaxPagesPerAppend) return 0;
    TPDFPageTree& pages = Pages();
    const int32_t before = pages.PageCount();
    const double width = pages.PageWidth();
    const double height = pages.PageHeight();
    pages.InsertPages(position, count, width, height);
    const int32_t after = pages.PageCount();
    SelectFont(HandleOf(selectedFont_));
    return after == before + count ? after : 0;
  });
}

int32_t TVellum::ActivatePage(int32_t pageNumber) {
  return Trap(0, [&] {
    TPDFPageTree& pages = Pages();
    pages.SelectPage(pageNumber);
    const bool selected = pages.SelectedPageNumber() == pageNumber;
    const double textSize = pages.Painter().TextSize();
    SelectFont(HandleOf(selectedFont_));
    if (textSize > 0) SetTextSize(textSize);
    return selected ? 1 : 0;
  });
}

int32_t TVellum::SetPageSize(double width, double height) {
  return Trap(0, [&] {
    const double w = ToPointsLength(width);
    const double h = ToPointsLength(height);
    // A size that is no finite number would be written as 0 and make a broken page.
    if (!std::isfinite(w) || !std::isfinite(h)) return 0;
    TPDFPageTree& pages = Pages();
    // The sizes read back tell whether a selected page took them.
    pages.SetPageWidth(w);
    pages.SetPageHeight(h);
    return pages.PageWidth() == w && pages.PageHeight() == h ? 1 : 0;
  });
}

ImageHandle TVellum::LoadImageFile(const std::u16string& fileName, int32_t index) {
  return Trap(0, [&] {
    if (!IsExistingFile(fileName)) return 0;
    TVellumWideFileStream stream(fileName, kModeReadShareRead);
    TPDFDocument& document = *selectedDocument_;
    TPDFImage* image = document.LoadImage(stream, index, document.ImageImportMode);
    if (image == nullptr) return 0;
    if (image->NeedsVersion15() && document.Version() < "1.5") document.SetVersion("1.5");
    selectedImage_ = image;
    return HandleOf(image);
  });
}

int32_t TVellum::ActivateImage(ImageHandle handle) {
  TPDFImage* image = ImageFromHandle(handle);
  // An image lives in the structure of the document that loaded it, which tells whether it
  // is one of the selected document's images without walking that document's image list.
  if (image == nullptr || &image->Store() != &selectedDocument_->Structure()) return 0;
  selectedImage_ = image;
  return 1;
}

int32_t TVellum::PlaceImage(double left, double top, double width, double height) {
  return Trap(0, [&] {
    if (selectedImage_ == nullptr) return 0;
    TPDFPageTree& pages = Pages();
    pages.AddXObjectResource(*selectedImage_);
    const double x = ToPointsX(left);
    const double y = ToPointsY(top);
    pages.Painter().DrawImage(*selectedImage_, x, y, ToPointsLength(width), ToPointsLength(height));
    return 1;
  });
}

int32_t TVellum::AddWebLink(double left, double top, double width, double height, const std::u16string& address,
                            int32_t options) {
  return Trap(1, [&] {
    const double x = ToPointsX(left);
    const double y = ToPointsY(top);
    // UTF-8 is this platform's code page.
    Pages().AddLinkAnnotation(Utf16ToUtf8(address), options, x, y, ToPointsLength(width), ToPointsLength(height));
    return 1;
  });
}

int32_t TVellum::WriteToFile(const std::u16string& fileName) {
  return Trap(0, [&] {
    lastErrorCode_ = 0;
    SetInfoText(*selectedDocument_, "ModDate", Widen(PdfDateNow()));
    return selectedDocument_->SaveToFile(fileName) ? 1 : 0;
  });
}

// This writer makes no fonts, so no document lists one and both hooks answer 0 unchanged.
int32_t TVellum::SelectFont(ImageHandle /*handle*/) { return 0; }

int32_t TVellum::SetTextSize(double /*size*/) { return 0; }

double TVellum::ToPointsLength(double value) const { return value / selectedDocument_->UnitFactor; }

double TVellum::ToPointsX(double x) {
  const double points = x / selectedDocument_->UnitFactor;
  const int32_t corner = selectedDocument_->OriginCorner;
  return corner == 2 || corner == 3 ? Pages().PageWidth() - points : points;
}

double TVellum::ToPointsY(double y) {
  const double points = y / selectedDocument_->UnitFactor;
  const int32_t corner = selectedDocument_->OriginCorner;
  return corner == 1 || corner == 2 ? Pages().PageHeight() - points : points;
}

}  // namespace pdf
