// The image half of a page: any supported source becomes a temporary 24-bit baseline JPEG with
// 4:2:0 chroma subsampling, which the PDF writer embeds unchanged.
#pragma once

#include <string>

#include "conversion/FreeImageSupport.h"

namespace conversion {

// Fills `bitmap` with the PNG's pixels as a 32-bit image: a PNG with an alpha channel is
// blended over opaque white, any other is made fully opaque. Errors are swallowed and leave
// `bitmap` as it was.
void FlattenPngToBitmap32(const std::string& path, BitmapPtr& bitmap);

// Writes a 32-bit bitmap as an uncompressed BMP with a 54-byte header and its top row first
// (negative height). False when the file cannot be written completely. Pages no longer pass
// through it; it is the reference the PNG route is checked against.
bool SaveBmp32TopDown(FIBITMAP* bitmap, const std::string& path);

struct PageImage {
  unsigned width = 0;   // pixels, which become points on the page
  unsigned height = 0;
  std::string jpegPath;  // the temporary JPEG, left for the caller to load and delete
  std::string error;     // why the image could not be made; empty on success

  bool ok() const { return error.empty(); }
};

// Temporary name: tempFolder + file name of the source + "-420-page.jpg". `tempFolder` ends
// with "/".
std::string TempJpegPath(const std::string& tempFolder, const std::string& sourcePath);

// Checks the source by content and header first, so that a file of another format or with
// an absurd size is refused before any decoding.
PageImage PreparePageImage(const std::string& sourcePath, const std::string& tempFolder);

}  // namespace conversion
