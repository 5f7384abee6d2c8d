// Feeds arbitrary bytes to the JPEG route: format detection, the marker walk and the XObject
// built from them. An image is made only from a frame size the walk found, and its stream
// holds the input unchanged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "pdf/ImageFormat.h"
#include "pdf/PdfImage.h"
#include "pdf/PdfStructure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const pdf::JpegHeaderInfo header = pdf::ReadJpegHeader(bytes);
  if (header.Width < 0 || header.Width > 0xFFFF || header.Height < 0 || header.Height > 0xFFFF) __builtin_trap();

  pdf::TPDFStructure store;
  int32_t registered = 0;
  store.OnRegister = [&](pdf::TPDFObject*, pdf::TPDFObject*) { return std::make_pair(++registered, 0); };
  pdf::TMemoryStream stream;
  stream.Write(bytes.data(), bytes.size());
  pdf::TPDFImage image(store, "VellumIm00000000", 0);
  const bool loaded = image.LoadImageFromStream(stream, 0);

  const bool expected = pdf::DetectImageFormat(stream) == pdf::kFormatJpeg && header.Width != 0 && header.Height != 0;
  if (loaded != expected) __builtin_trap();
  if (loaded && (image.XObject()->Data() != bytes || registered != 1 || image.Width() != header.Width))
    __builtin_trap();
  return 0;
}
