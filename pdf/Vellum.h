// TVellum: the handle-based face of the PDF writer. It owns the documents it creates, hands
// out integer handles for documents, images and fonts, and offers flat operations in the
// caller's units and corner that answer integers. No operation raises: failures answer 0.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "pdf/PdfDocument.h"
#include "pdf/PdfFont.h"
#include "pdf/PdfImage.h"

namespace pdf {

using ImageHandle = int32_t;

inline constexpr ImageHandle kHandleBase = 0x58000000;
inline constexpr int32_t kHandlePositionMask = 0x07FFFFFF;
inline constexpr int32_t kErrorBadInfoKey = 202;
inline constexpr int32_t kMaxPagesPerAppend = 9999;

// Settings of the rasterising import route (index -1), kept for documents that use it.
struct TRendererSettings {
  std::string LibraryFileName = "gdiplus.dll";
};

class TVellum {
 public:
  TVellum();
  virtual ~TVellum();
  TVellum(const TVellum&) = delete;
  TVellum& operator=(const TVellum&) = delete;

  ImageHandle CreateDocument();
  // Keys: 0 version, 1 Author, 2 Title, 3 Subject, 4 Keywords, 5 Creator, 6 Producer;
  // GetDocumentInfo also 7 CreationDate and 8 ModDate.
  int32_t SetDocumentInfo(int32_t key, const std::u16string& text);
  std::u16string GetDocumentInfo(int32_t key);
  // 0 points, 1 millimetres, 2 inches.
  int32_t SetUnits(int32_t unit);
  // 0 bottom-left, 1 top-left, 2 top-right, 3 bottom-right.
  int32_t SetOriginCorner(int32_t corner);
  // The new page count, or 0; at most 9999 pages per call.
  int32_t AppendPages(int32_t position, int32_t count);
  int32_t SetImageImportMode(int32_t mode);
  int32_t ActivatePage(int32_t pageNumber);
  int32_t SetPageSize(double width, double height);
  ImageHandle LoadImageFile(const std::u16string& fileName, int32_t index);
  int32_t ActivateImage(ImageHandle handle);
  int32_t PlaceImage(double left, double top, double width, double height);
  int32_t AddWebLink(double left, double top, double width, double height, const std::u16string& address,
                     int32_t options);
  int32_t WriteToFile(const std::u16string& fileName);

  int32_t SelectDocument(ImageHandle handle);
  int32_t SelectFont(ImageHandle handle);
  int32_t SetTextSize(double size);

  int32_t LastErrorCode() const { return lastErrorCode_; }

  ImageHandle HandleOf(TPDFDocument* document) { return HandleOfObject(document); }
  ImageHandle HandleOf(TPDFImage* image) { return HandleOfObject(image); }
  ImageHandle HandleOf(TPDFFont* font) { return HandleOfObject(font); }
  TPDFDocument* DocumentFromHandle(ImageHandle handle) const;
  TPDFImage* ImageFromHandle(ImageHandle handle) const;
  TPDFFont* FontFromHandle(ImageHandle handle) const;

  TPDFDocument* SelectedDocument() const { return selectedDocument_; }
  TPDFImage* SelectedImage() const { return selectedImage_; }
  TPDFFont* SelectedFont() const { return selectedFont_; }
  const std::vector<std::unique_ptr<TPDFDocument>>& DocumentList() const { return documentList_; }
  size_t HandleCount() const { return handleList_.size(); }
  const TRendererSettings& RendererSettings() const { return rendererSettings_; }

 private:
  using HandleTarget = std::variant<TPDFDocument*, TPDFImage*, TPDFFont*>;
  template <class T>
  ImageHandle HandleOfObject(T* object);
  template <class T>
  T* ObjectFromHandle(ImageHandle handle) const;

  ImageHandle BuildDocument();
  TPDFPageTree& Pages() { return selectedDocument_->PageTree(); }
  double ToPointsLength(double value) const;
  double ToPointsX(double x);
  double ToPointsY(double y);

  std::vector<std::unique_ptr<TPDFDocument>> documentList_;
  std::vector<HandleTarget> handleList_;
  // Position of every object in handleList_, so that HandleOf needs no walk of the list.
  std::unordered_map<const void*, int32_t> handlePositions_;
  TPDFDocument* selectedDocument_ = nullptr;
  TPDFImage* selectedImage_ = nullptr;
  TPDFFont* selectedFont_ = nullptr;
  int32_t lastErrorCode_ = 0;
  TRendererSettings rendererSettings_;
};

class TVellum0813 final : public TVellum {};

}  // namespace pdf
