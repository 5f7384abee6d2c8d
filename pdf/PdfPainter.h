// TPDFPainter: writes the drawing operators of the selected page. It keeps the text of the
// page's last content stream and hands the whole text back after every completed operation.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "pdf/PdfObjects.h"

namespace pdf {

class TPDFFont;
class TPDFImage;
class TPDFPageTree;

inline constexpr std::string_view kDefaultFillColour = "1 1 1 rg";

class TPDFPainter {
 public:
  using ChangeCallback = std::function<void()>;

  TPDFPainter(TPDFPageTree* owner, ChangeCallback onChange, int32_t numberPrecision);
  TPDFPainter(const TPDFPainter&) = delete;
  TPDFPainter& operator=(const TPDFPainter&) = delete;

  // Appends the text and then `terminator` unless it is 0; an empty text appends nothing.
  void EmitText(std::string_view text, char terminator = '\0');
  // The number as the writer formats numbers, then one space.
  void EmitNumber(double value);
  // Draws the image over w by h points whose top-left corner is (x, y) in PDF space. The
  // image must already be among the page's XObject resources.
  void DrawImage(const TPDFImage& image, double x, double y, double w, double h);

  void NotifyChanged();
  void ResetPainter();
  void LoadContent(std::string_view text);
  // The buffer, always ending with a line feed.
  Bytes GetContent() const;

  // Takes the change callback away (so that a reset stores nothing) and gives it back.
  ChangeCallback DetachChangeCallback();
  void AttachChangeCallback(ChangeCallback onChange) { onChange_ = std::move(onChange); }

  int32_t NumberPrecision() const { return numberPrecision_; }
  void SetNumberPrecision(int32_t precision) { numberPrecision_ = precision; }
  TPDFPageTree* Owner() const { return owner_; }
  TPDFFont* CurrentFont() const { return currentFont_; }
  double TextSize() const { return textSize_; }
  const Bytes& FillColour() const { return fillColour_; }
  bool FillColourPending() const { return fillColourPending_; }

 private:
  static bool IsStencilMask(const TPDFImage& image);

  TPDFPageTree* owner_;
  ChangeCallback onChange_;
  int32_t numberPrecision_;
  Bytes contentBuffer_;
  TPDFFont* currentFont_ = nullptr;
  double textSize_ = 0;
  Bytes fillColour_{kDefaultFillColour};
  bool fillColourPending_ = true;
};

}  // namespace pdf
