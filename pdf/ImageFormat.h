// Recognising image files by their first bytes, and the marker walk that reads a JPEG's
// frame size without decoding it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "pdf/ByteStream.h"

namespace pdf {

enum ImageFormat : int32_t {
  kFormatUnknown = 0,
  kFormatJpeg = 1,
  kFormatBmp = 2,
  kFormatTiff = 3,
  kFormatPng = 4,
  kFormatWmf = 5,
  kFormatEmf = 6,
  kFormatGif = 7,
};

// The format code of the stream's content; the stream is left at position 0.
int32_t DetectImageFormat(TStream& stream);

struct JpegHeaderInfo {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Components = 3;
  int32_t XDensity = 0;
  int32_t YDensity = 0;
  int32_t DensityUnits = -1;  // JFIF unit byte; -1 while no density was found
};

// Walks the markers up to the first SOF0..SOF3 frame header. Never raises: whatever was found
// before the walk ended (end of data, a byte that is not a marker) is the result.
JpegHeaderInfo ReadJpegHeader(std::string_view data);
// The same, on the whole stream from position 0.
JpegHeaderInfo ReadJpegHeader(TStream& stream);

// The stream's bytes from position 0 to its end.
std::string ReadWholeStream(TStream& stream);

}  // namespace pdf
