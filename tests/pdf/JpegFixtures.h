// Small JPEG files made in memory with libjpeg, so that the tests carry no binary fixtures.
#pragma once

#include <cstdint>
#include <string>

namespace fixtures {

struct JpegOptions {
  int width = 16;
  int height = 8;
  int components = 3;  // 1 grey, 3 RGB, 4 CMYK
  bool progressive = false;
  bool jfif = true;  // CMYK files carry an Adobe marker instead
  int densityUnit = 0;
  int xDensity = 1;
  int yDensity = 1;
  std::string exif = {};  // APP1 payload after "Exif\0\0", written after the JFIF segment
};

std::string MakeJpeg(const JpegOptions& options);

// A little-endian TIFF structure whose first directory holds XResolution and YResolution;
// with `loop`, the directory's next-directory offset points back at itself.
std::string ExifResolution(uint32_t xNumerator, uint32_t xDenominator, uint32_t yNumerator,
                           uint32_t yDenominator, bool loop = false);

// Two big-endian bytes.
std::string Be16(int value);

}  // namespace fixtures
