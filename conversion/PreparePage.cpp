#include "conversion/PreparePage.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "conversion/ImageProbe.h"
#include "pdf/TextString.h"

namespace conversion {

namespace {

namespace fs = std::filesystem;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

struct MemoryCloser {
  void operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }
};
using MemoryPtr = std::unique_ptr<FIMEMORY, MemoryCloser>;

// Flushes and closes, reporting a failure of either, so that a full disk is seen here and not
// later as a truncated image.
bool CloseChecked(FilePtr file, bool ok) {
  ok = std::fflush(file.get()) == 0 && ok;
  return std::fclose(file.release()) == 0 && ok;
}

bool WriteWholeFile(const std::string& path, const void* data, size_t size) {
  FilePtr file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  const bool ok = std::fwrite(data, 1, size, file.get()) == size;
  return CloseChecked(std::move(file), ok);
}

void RemoveQuietly(const std::string& path) {
  std::error_code ignored;
  fs::remove(path, ignored);
}

// Bitmaps of 16 bits per channel and other non-standard types, as 8 bits per channel.
BitmapPtr ToStandardBitmap(BitmapPtr bitmap) {
  if (!bitmap) return bitmap;
  switch (FreeImage_GetImageType(bitmap.get())) {
    case FIT_BITMAP: return bitmap;
    case FIT_UINT16: return BitmapPtr(FreeImage_ConvertTo8Bits(bitmap.get()));
    case FIT_RGB16: return BitmapPtr(FreeImage_ConvertTo24Bits(bitmap.get()));
    case FIT_RGBA16: return BitmapPtr(FreeImage_ConvertTo32Bits(bitmap.get()));
    default: return BitmapPtr(FreeImage_ConvertToStandardType(bitmap.get(), TRUE));
  }
}

void BlendOverWhite(FIBITMAP* bitmap) {
  const unsigned width = FreeImage_GetWidth(bitmap), height = FreeImage_GetHeight(bitmap);
  for (unsigned y = 0; y < height; ++y) {
    BYTE* pixel = FreeImage_GetScanLine(bitmap, static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x, pixel += 4) {
      const unsigned alpha = pixel[FI_RGBA_ALPHA];
      for (int channel : {FI_RGBA_BLUE, FI_RGBA_GREEN, FI_RGBA_RED}) {
        pixel[channel] = static_cast<BYTE>((pixel[channel] * alpha + 255 * (255 - alpha) + 127) / 255);
      }
      pixel[FI_RGBA_ALPHA] = 255;
    }
  }
}

void MakeOpaque(FIBITMAP* bitmap) {
  const unsigned width = FreeImage_GetWidth(bitmap), height = FreeImage_GetHeight(bitmap);
  for (unsigned y = 0; y < height; ++y) {
    BYTE* pixel = FreeImage_GetScanLine(bitmap, static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x, pixel += 4) pixel[FI_RGBA_ALPHA] = 255;
  }
}

// A PNG as FreeImage decodes it in standard form, a 32-bit one blended over opaque white.
BitmapPtr LoadPngOverWhite(const std::string& path) {
  BitmapPtr decoded = ToStandardBitmap(BitmapPtr(FreeImage_Load(FileTypeOf(path), path.c_str(), 0)));
  if (decoded && FreeImage_GetBPP(decoded.get()) == 32) BlendOverWhite(decoded.get());
  return decoded;
}

// The flattened PNG is not sent through a temporary 32-bit BMP and read back: that round trip returns the very same
// pixels (the equivalence test compares the JPEG bytes of both routes) and cost a full write
// and decode of every PNG page.
BitmapPtr LoadSource(const std::string& path, FREE_IMAGE_FORMAT format, std::string& error) {
  if (format == FIF_PNG) {
    // A PNG without alpha skips the 32-bit form as well: widening it, making it opaque and
    // narrowing it to 24 bits again gives exactly the pixels of narrowing it at once.
    BitmapPtr flat = LoadPngOverWhite(path);
    if (!flat) error = "cannot decode the image";
    return flat;
  }
  BitmapPtr bitmap(FreeImage_Load(format, path.c_str(), 0));
  if (!bitmap) {
    error = "cannot decode the image";
  } else if (format == FIF_JPEG && TakeFreeImageMessage().find("Premature end") != std::string::npos) {
    // libjpeg fills the missing rows with grey and calls it a warning; the page would be
    // silently incomplete.
    error = "truncated JPEG data";
    bitmap.reset();
  }
  return bitmap;
}

bool SaveJpeg420(FIBITMAP* bitmap, const std::string& path) {
  // Encoded in memory and written here, because FreeImage's own file output does not report
  // a failed final flush (a full disk) and would leave a truncated JPEG behind as success.
  MemoryPtr memory(FreeImage_OpenMemory());
  if (!memory || !FreeImage_SaveToMemory(FIF_JPEG, bitmap, memory.get(), JPEG_SUBSAMPLING_420)) {
    return false;
  }
  BYTE* data = nullptr;
  DWORD size = 0;
  if (!FreeImage_AcquireMemory(memory.get(), &data, &size)) return false;
  return WriteWholeFile(path, data, size);
}

// The PDF writer opens files by UTF-16 name, which cannot carry file-name bytes that are not
// UTF-8 (a Latin-1 "café.png"); the temporary name replaces them so it always round-trips.
std::string TempNameOf(const std::string& path) { return pdf::SanitizeUtf8(fs::path(path).filename().string()); }

}  // namespace

void FlattenPngToBitmap32(const std::string& path, BitmapPtr& bitmap) {
  BitmapPtr decoded = LoadPngOverWhite(path);
  if (!decoded || FreeImage_GetBPP(decoded.get()) == 32) {
    if (decoded) bitmap = std::move(decoded);
    return;
  }
  BitmapPtr working(FreeImage_ConvertTo32Bits(decoded.get()));
  if (!working) return;
  MakeOpaque(working.get());
  bitmap = std::move(working);
}

bool SaveBmp32TopDown(FIBITMAP* bitmap, const std::string& path) {
  if (bitmap == nullptr || FreeImage_GetBPP(bitmap) != 32) return false;
  const uint32_t width = FreeImage_GetWidth(bitmap), height = FreeImage_GetHeight(bitmap);
  const uint64_t rowBytes = uint64_t{width} * 4, pixelBytes = rowBytes * height;
  if (54 + pixelBytes > UINT32_MAX) return false;

  unsigned char header[54] = {'B', 'M'};
  auto put32 = [&header](int at, uint32_t value) {
    for (int i = 0; i < 4; ++i) header[at + i] = static_cast<unsigned char>(value >> (8 * i));
  };
  put32(2, static_cast<uint32_t>(54 + pixelBytes));        // file size
  put32(10, 54);                                            // offset of the pixels
  put32(14, 40);                                            // BITMAPINFOHEADER
  put32(18, width);
  put32(22, static_cast<uint32_t>(-static_cast<int32_t>(height)));  // negative: top row first
  header[26] = 1;                                           // planes
  header[28] = 32;                                          // bits per pixel, BI_RGB
  put32(34, static_cast<uint32_t>(pixelBytes));
  put32(38, 2835);                                          // 72 DPI, in pixels per metre
  put32(42, 2835);

  // FreeImage keeps rows bottom-up; they are written top-down straight from the bitmap.
  FilePtr file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  std::setvbuf(file.get(), nullptr, _IOFBF, 1 << 20);
  bool ok = std::fwrite(header, 1, sizeof header, file.get()) == sizeof header;
  for (uint32_t y = 0; ok && y < height; ++y) {
    ok = std::fwrite(FreeImage_GetScanLine(bitmap, static_cast<int>(height - 1 - y)), 1, rowBytes, file.get()) ==
         rowBytes;
  }
  return CloseChecked(std::move(file), ok);
}

std::string TempJpegPath(const std::string& tempFolder, const std::string& sourcePath) {
  return tempFolder + TempNameOf(sourcePath) + "-420-page.jpg";
}

PageImage PreparePageImage(const std::string& sourcePath, const std::string& tempFolder) {
  PageImage page;
  TakeFreeImageMessage();
  const ImageProbe probe = ProbeImage(sourcePath);
  if (!probe.ok()) {
    page.error = probe.error;
    return page;
  }

  BitmapPtr bitmap = LoadSource(sourcePath, probe.format, page.error);
  bitmap = ToStandardBitmap(std::move(bitmap));
  if (bitmap && FreeImage_GetBPP(bitmap.get()) != 24) {
    bitmap = BitmapPtr(FreeImage_ConvertTo24Bits(bitmap.get()));
    if (!bitmap && page.ok()) page.error = "cannot convert the image to 24 bits per pixel";
  }
  if (!bitmap) {
    if (page.ok()) page.error = "cannot decode the image";
    const std::string why = TakeFreeImageMessage();
    if (!why.empty()) page.error += ": " + why;
    return page;
  }

  page.jpegPath = TempJpegPath(tempFolder, sourcePath);
  if (!SaveJpeg420(bitmap.get(), page.jpegPath)) {
    RemoveQuietly(page.jpegPath);
    page.error = "cannot write the temporary file " + page.jpegPath;
    page.jpegPath.clear();
    return page;
  }
  page.width = FreeImage_GetWidth(bitmap.get());
  page.height = FreeImage_GetHeight(bitmap.get());
  return page;
}

}  // namespace conversion
