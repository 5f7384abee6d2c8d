#include "JpegFixtures.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace fixtures {

namespace {

std::string Le16(uint32_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

J_COLOR_SPACE ColorSpace(int components) {
  if (components == 1) return JCS_GRAYSCALE;
  if (components == 4) return JCS_CMYK;
  return JCS_RGB;
}

struct Compressor {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  Compressor() {
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
  }
  ~Compressor() {
    jpeg_destroy_compress(&info);
    std::free(buffer);
  }
};

}  // namespace

std::string Be16(int value) { return {static_cast<char>((value >> 8) & 0xFF), static_cast<char>(value & 0xFF)}; }

std::string MakeJpeg(const JpegOptions& options) {
  Compressor c;
  c.info.image_width = static_cast<JDIMENSION>(options.width);
  c.info.image_height = static_cast<JDIMENSION>(options.height);
  c.info.input_components = options.components;
  c.info.in_color_space = ColorSpace(options.components);
  jpeg_set_defaults(&c.info);
  jpeg_set_quality(&c.info, 85, TRUE);
  if (options.progressive) jpeg_simple_progression(&c.info);
  c.info.write_JFIF_header = options.jfif && options.components != 4 ? TRUE : FALSE;
  c.info.density_unit = static_cast<UINT8>(options.densityUnit);
  c.info.X_density = static_cast<UINT16>(options.xDensity);
  c.info.Y_density = static_cast<UINT16>(options.yDensity);
  jpeg_start_compress(&c.info, TRUE);
  if (!options.exif.empty()) {
    const std::string payload = std::string("Exif\0\0", 6) + options.exif;
    jpeg_write_marker(&c.info, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(payload.data()),
                      static_cast<unsigned>(payload.size()));
  }
  const size_t stride = static_cast<size_t>(options.width) * static_cast<size_t>(options.components);
  std::vector<JSAMPLE> row(stride);
  while (c.info.next_scanline < c.info.image_height) {
    for (size_t i = 0; i < stride; ++i) row[i] = static_cast<JSAMPLE>((i * 7 + c.info.next_scanline * 13) & 0xFF);
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&c.info, rows, 1);
  }
  jpeg_finish_compress(&c.info);
  return std::string(reinterpret_cast<const char*>(c.buffer), c.size);
}

std::string ExifResolution(uint32_t xNumerator, uint32_t xDenominator, uint32_t yNumerator,
                           uint32_t yDenominator, bool loop) {
  // Header (8), directory at 8: count (2), two entries (24), next offset (4); values at 38.
  std::string tiff = "II" + Le16(42) + Le32(8);
  tiff += Le16(2);
  tiff += Le16(0x011A) + Le16(5) + Le32(1) + Le32(38);
  tiff += Le16(0x011B) + Le16(5) + Le32(1) + Le32(46);
  tiff += Le32(loop ? 8 : 0);
  tiff += Le32(xNumerator) + Le32(xDenominator) + Le32(yNumerator) + Le32(yDenominator);
  return tiff;
}

}  // namespace fixtures
