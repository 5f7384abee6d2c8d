// Structural checks of image data that FreeImage's decoders trust blindly. Its PSD decoder
// writes past its buffers on damaged run-length data, and truncated BMP, GIF and PCX files
// decode "successfully" into pages of garbage; these checks turn both into a clear error.
#pragma once

#include <FreeImage.h>

#include <string>

namespace conversion {

// Empty when the file's pixel data is complete and well-formed enough to decode safely;
// otherwise why it is not. Formats without a check here pass.
std::string CheckImageData(const std::string& path, FREE_IMAGE_FORMAT format);

}  // namespace conversion
