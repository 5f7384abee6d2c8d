#include "pdf/PdfImage.h"

#include <memory>
#include <utility>

#include "pdf/Identifiers.h"
#include "pdf/ImageFormat.h"
#include "pdf/PdfDocument.h"
#include "pdf/PdfStructure.h"

namespace pdf {

namespace {

constexpr uint8_t kKindJpeg = 1;

const char* ColorSpaceFor(int32_t components) {
  if (components == 1) return "DeviceGray";
  if (components == 4) return "DeviceCMYK";
  return "DeviceRGB";
}

}  // namespace

TPDFImage::TPDFImage(TPDFStructure& store, Bytes resourceName, int32_t importMode)
    : store_(&store), resourceName_(std::move(resourceName)), importMode_(importMode) {}

// The XObject and its entries belong to the store; the image frees nothing of its own.
TPDFImage::~TPDFImage() = default;

bool TPDFImage::LoadImageFromStream(TStream& stream, int32_t /*index*/) {
  if (!store_->OnRegister) return false;
  // Only JPEG files are embedded; the other formats would need decoding and are refused.
  if (DetectImageFormat(stream) != kFormatJpeg) return false;
  // One read of the file serves both the header walk and the stream data.
  Bytes bytes = ReadWholeStream(stream);
  const JpegHeaderInfo header = ReadJpegHeader(bytes);
  if (header.Width == 0 || header.Height == 0) return false;
  BuildJpegXObject(std::move(bytes), header);
  return true;
}

void TPDFImage::BuildJpegXObject(TStream& stream) {
  Bytes bytes = ReadWholeStream(stream);
  const JpegHeaderInfo header = ReadJpegHeader(bytes);
  BuildJpegXObject(std::move(bytes), header);
}

void TPDFImage::BuildJpegXObject(Bytes bytes, const JpegHeaderInfo& header) {
  imageKind_ = kKindJpeg;
  resolutionUnit_ = header.DensityUnits + 1;
  xResolution_ = header.XDensity;
  yResolution_ = header.YDensity;
  colorSpaceName_ = ColorSpaceFor(header.Components);
  width_ = header.Width;
  height_ = header.Height;

  TPDFStructure& s = *store_;
  TPDFStream* stream = s.NewStream(Bytes(), false);
  stream->SetRawData(std::move(bytes));  // the file's bytes unchanged; sets Length first
  TPDFDictionary* dictionary = stream->Dictionary();
  dictionary->SetValue("Type", s.NewName("XObject"));
  dictionary->SetValue("Subtype", s.NewName("Image"));
  dictionary->SetValue("Width", s.NewNumber(width_));
  dictionary->SetValue("Height", s.NewNumber(height_));
  dictionary->SetValue("ColorSpace", s.NewName(colorSpaceName_));
  // Adobe writes CMYK JPEGs inverted; the Decode array turns them back.
  if (header.Components == 4) dictionary->SetValue("Decode", s.ParseObject("[ 1 0 1 0 1 0 1 0 ]").object);
  dictionary->SetValue("BitsPerComponent", s.NewNumber(8));
  dictionary->SetValue("Filter", s.NewName("DCTDecode"));

  stream_ = stream;
  dictionary_ = dictionary;
  const auto [number, generation] = s.OnRegister(nullptr, stream);
  reference_ = s.NewReference(number, generation);
}

TPDFImage* TPDFDocument::LoadImage(TStream& stream, int32_t index, int32_t importMode) {
  auto image = std::make_unique<TPDFImage>(*structure_, "VellumIm" + UniqueTag(), importMode);
  if (!image->LoadImageFromStream(stream, index)) return nullptr;
  Images.push_back(std::move(image));
  return Images.back().get();
}

}  // namespace pdf
