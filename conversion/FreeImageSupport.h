// Ownership and error text for FreeImage bitmaps.
#pragma once

#include <FreeImage.h>

#include <memory>
#include <string>

namespace conversion {

struct BitmapDeleter {
  void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using BitmapPtr = std::unique_ptr<FIBITMAP, BitmapDeleter>;

// FreeImage reports decoder errors through one process-wide callback; this installs a handler
// that keeps the last message per thread, so a failed image can say why.
void InstallFreeImageMessageHandler();
// The last message FreeImage gave on this thread, emptied by the call.
std::string TakeFreeImageMessage();

// The FreeImage file type of a file by its content; FIF_UNKNOWN when it cannot be read.
FREE_IMAGE_FORMAT FileTypeOf(const std::string& path);

}  // namespace conversion
