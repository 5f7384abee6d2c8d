#include "pdf/PdfPainter.h"

#include <algorithm>

#include "pdf/PdfImage.h"
#include "pdf/PdfText.h"

namespace pdf {

namespace {
// Metafiles are placed as forms that keep their aspect ratio.
constexpr uint8_t kMetafileFormKind = 6;

bool IsNumber(const TPDFObject* object, double value) {
  const auto* number = As<TPDFNumeric>(object);
  return number != nullptr && number->Value() == value;
}

// Absent, [ 0 1 ] or [ 1 0 ]: the decodings a stencil mask may have.
bool IsMaskDecode(TPDFObject* decode) {
  if (decode == nullptr) return true;
  const auto* array = As<TPDFArray>(decode);
  if (array == nullptr || array->Count() != 2) return false;
  TPDFObject* first = Follow(array->ItemAt(0));
  TPDFObject* second = Follow(array->ItemAt(1));
  return (IsNumber(first, 0) && IsNumber(second, 1)) || (IsNumber(first, 1) && IsNumber(second, 0));
}
}  // namespace

TPDFPainter::TPDFPainter(TPDFPageTree* owner, ChangeCallback onChange, int32_t numberPrecision)
    : owner_(owner), onChange_(std::move(onChange)), numberPrecision_(numberPrecision) {}

void TPDFPainter::EmitText(std::string_view text, char terminator) {
  if (text.empty()) return;
  contentBuffer_ += text;
  if (terminator != '\0') contentBuffer_ += terminator;
}

void TPDFPainter::EmitNumber(double value) {
  contentBuffer_ += FormatNumber(value, numberPrecision_);
  contentBuffer_ += ' ';
}

bool TPDFPainter::IsStencilMask(const TPDFImage& image) {
  const TPDFDictionary* dictionary = image.ImageDictionary();
  if (dictionary == nullptr) return false;
  const auto* mask = As<TPDFBoolean>(dictionary->GetValue("ImageMask", true));
  if (mask == nullptr || !mask->Value()) return false;
  if (dictionary->GetValue("Mask") != nullptr || dictionary->GetValue("SMask") != nullptr) return false;
  TPDFObject* bits = dictionary->GetValue("BitsPerComponent", true);
  if (bits != nullptr && !IsNumber(bits, 1)) return false;
  return IsMaskDecode(dictionary->GetValue("Decode", true)) && dictionary->GetValue("ColorSpace") == nullptr;
}

void TPDFPainter::DrawImage(const TPDFImage& image, double x, double y, double w, double h) {
  EmitText("q", '\n');
  // A stencil mask paints in the fill colour, which must be in force inside this group.
  if (IsStencilMask(image) && fillColourPending_) EmitText(fillColour_, '\n');
  if (image.ImageKind() == kMetafileFormKind) {
    const double m = std::min(w, h);
    for (double value : {m, 0.0, 0.0, m, x, y - h}) EmitNumber(value);
  } else {
    for (double value : {w, 0.0, 0.0, h, x, y - h}) EmitNumber(value);
  }
  EmitText("cm", '\n');
  // Written with the escapes of the XObject key, so that odd resource names still match it.
  Bytes invocation;
  AppendName(invocation, image.ResourceName());
  EmitText(invocation + " Do", '\n');
  EmitText("Q", '\n');
  NotifyChanged();
}

void TPDFPainter::NotifyChanged() {
  if (onChange_) onChange_();
}

void TPDFPainter::ResetPainter() {
  fillColour_ = Bytes(kDefaultFillColour);
  fillColourPending_ = true;
  currentFont_ = nullptr;
  textSize_ = 0;
  contentBuffer_.clear();
  NotifyChanged();
}

void TPDFPainter::LoadContent(std::string_view text) {
  contentBuffer_.clear();
  if (text.empty()) return;
  contentBuffer_ += text;
  // Operators emitted later must not run into the last token of the loaded text.
  if (text.back() != ' ') contentBuffer_ += ' ';
}

Bytes TPDFPainter::GetContent() const {
  Bytes content = contentBuffer_;
  if (content.empty() || content.back() != '\n') content += '\n';
  return content;
}

TPDFPainter::ChangeCallback TPDFPainter::DetachChangeCallback() {
  ChangeCallback detached = std::move(onChange_);
  onChange_ = nullptr;
  return detached;
}

}  // namespace pdf
