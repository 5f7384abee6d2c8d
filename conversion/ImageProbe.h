// What a file holds, found from its content and header alone, before any pixel is decoded.
#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <string>

namespace conversion {

// Larger images are refused before decoding: a few bytes of header can otherwise claim
// gigabytes of pixels. 100 million pixels is well above any camera or scanner page.
inline constexpr uint64_t kMaxImagePixels = 100'000'000;

// True for the seven formats the program converts.
bool IsSupportedFormat(FREE_IMAGE_FORMAT format);
// The list's format text: "BMP", "JPEG", "PCX", "PNG", "PSD", "GIF", "JPG2K", else "?".
std::string FormatText(FREE_IMAGE_FORMAT format);

struct ImageProbe {
  FREE_IMAGE_FORMAT format = FIF_UNKNOWN;  // by content, whatever the file's extension
  unsigned width = 0;
  unsigned height = 0;
  std::string error;  // empty when the file may be decoded

  bool ok() const { return error.empty(); }
};

// Checks that the path is a readable file of a supported format whose header gives a size
// within kMaxImagePixels. Never decodes pixels.
ImageProbe ProbeImage(const std::string& path);

}  // namespace conversion
