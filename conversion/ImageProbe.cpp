#include "conversion/ImageProbe.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "conversion/DataChecks.h"
#include "conversion/FreeImageSupport.h"

namespace conversion {

namespace {

namespace fs = std::filesystem;

struct Size {
  uint64_t width = 0;
  uint64_t height = 0;
};

uint32_t ReadLe16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint64_t ReadBe32(const unsigned char* p) {
  return (uint64_t{p[0]} << 24) | (uint64_t{p[1]} << 16) | (uint64_t{p[2]} << 8) | p[3];
}

bool ReadBytes(std::ifstream& in, unsigned char* buffer, std::streamsize count) {
  in.read(reinterpret_cast<char*>(buffer), count);
  return in.gcount() == count;
}

bool SkipGifSubBlocks(std::ifstream& in) {
  for (;;) {
    const int length = in.get();
    if (length == EOF) return false;
    if (length == 0) return true;
    in.seekg(length, std::ios::cur);
  }
}

// FreeImage has no header-only GIF load. Its decoder allocates the first frame at the size of
// that frame's image descriptor, so the larger of it and the logical screen is what counts.
std::optional<Size> ReadGifSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::array<unsigned char, 13> header{};
  if (!ReadBytes(in, header.data(), header.size())) return std::nullopt;
  Size screen{ReadLe16(&header[6]), ReadLe16(&header[8])};
  if ((header[10] & 0x80) != 0) in.seekg(3 << ((header[10] & 7) + 1), std::ios::cur);
  for (;;) {
    const int introducer = in.get();
    if (introducer == 0x21) {
      if (in.get() == EOF || !SkipGifSubBlocks(in)) return std::nullopt;
    } else if (introducer == 0x2C) {
      std::array<unsigned char, 8> descriptor{};
      if (!ReadBytes(in, descriptor.data(), descriptor.size())) return std::nullopt;
      Size frame{ReadLe16(&descriptor[4]), ReadLe16(&descriptor[6])};
      if (frame.width * frame.height < screen.width * screen.height) return screen;
      return frame;
    } else {
      return std::nullopt;  // trailer before any image, or damaged data
    }
  }
}

// FreeImage has no header-only JPEG 2000 load either. The decoder allocates from the
// codestream's SIZ marker, so that is read rather than the container's own header box.
std::optional<Size> ReadJp2Size(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  for (;;) {
    std::array<unsigned char, 8> box{};
    if (!ReadBytes(in, box.data(), box.size())) return std::nullopt;
    uint64_t length = ReadBe32(&box[0]);
    uint64_t headerLength = 8;
    if (length == 1) {
      std::array<unsigned char, 8> extended{};
      if (!ReadBytes(in, extended.data(), extended.size())) return std::nullopt;
      length = (ReadBe32(&extended[0]) << 32) | ReadBe32(&extended[4]);
      headerLength = 16;
    }
    const std::string type(box.begin() + 4, box.end());
    if (type == "jp2c") {
      // SOC, then SIZ: marker, Lsiz, Rsiz, Xsiz, Ysiz, XOsiz, YOsiz.
      std::array<unsigned char, 24> siz{};
      if (!ReadBytes(in, siz.data(), siz.size())) return std::nullopt;
      if (siz[0] != 0xFF || siz[1] != 0x4F || siz[2] != 0xFF || siz[3] != 0x51) return std::nullopt;
      const uint64_t xsiz = ReadBe32(&siz[8]), ysiz = ReadBe32(&siz[12]);
      const uint64_t xo = ReadBe32(&siz[16]), yo = ReadBe32(&siz[20]);
      if (xo >= xsiz || yo >= ysiz) return std::nullopt;
      return Size{xsiz - xo, ysiz - yo};
    }
    if (length == 0 || length < headerLength) return std::nullopt;  // a box up to the end, or damage
    in.seekg(static_cast<std::streamoff>(length - headerLength), std::ios::cur);
  }
}

std::optional<Size> ReadHeaderSize(const std::string& path, FREE_IMAGE_FORMAT format) {
  if (format == FIF_GIF) return ReadGifSize(path);
  if (format == FIF_JP2) return ReadJp2Size(path);
  BitmapPtr header(FreeImage_Load(format, path.c_str(), FIF_LOAD_NOPIXELS));
  if (!header) return std::nullopt;
  return Size{FreeImage_GetWidth(header.get()), FreeImage_GetHeight(header.get())};
}

std::string FileProblem(const std::string& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) return "file not found";
  if (fs::is_directory(status)) return "is a folder, not an image file";
  if (!fs::is_regular_file(status)) return "not a regular file";
  const auto size = fs::file_size(path, ec);
  if (ec) return "cannot read the file";
  if (size == 0) return "empty file";
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot open the file";
  return {};
}

}  // namespace

bool IsSupportedFormat(FREE_IMAGE_FORMAT format) { return FormatText(format) != "?"; }

std::string FormatText(FREE_IMAGE_FORMAT format) {
  switch (format) {
    case FIF_BMP: return "BMP";
    case FIF_JPEG: return "JPEG";
    case FIF_PCX: return "PCX";
    case FIF_PNG: return "PNG";
    case FIF_PSD: return "PSD";
    case FIF_GIF: return "GIF";
    case FIF_JP2: return "JPG2K";
    default: return "?";
  }
}

ImageProbe ProbeImage(const std::string& path) {
  InstallFreeImageMessageHandler();
  ImageProbe probe;
  probe.error = FileProblem(path);
  if (!probe.ok()) return probe;

  probe.format = FileTypeOf(path);
  if (probe.format == FIF_UNKNOWN) {
    probe.error = "not a recognised image";
    return probe;
  }
  if (!IsSupportedFormat(probe.format)) {
    probe.error = std::string("unsupported image format (") +
                  FreeImage_GetFormatFromFIF(probe.format) + ")";
    return probe;
  }

  const std::optional<Size> size = ReadHeaderSize(path, probe.format);
  if (!size || size->width == 0 || size->height == 0) {
    const std::string why = TakeFreeImageMessage();
    probe.error = "damaged or truncated " + FormatText(probe.format) + " header" +
                  (why.empty() ? "" : ": " + why);
    return probe;
  }
  if (size->width * size->height > kMaxImagePixels) {
    probe.error = "image too large: " + std::to_string(size->width) + " x " +
                  std::to_string(size->height) + " pixels (at most " +
                  std::to_string(kMaxImagePixels / 1'000'000) + " million pixels are converted)";
    return probe;
  }
  probe.error = CheckImageData(path, probe.format);
  if (!probe.ok()) return probe;
  probe.width = static_cast<unsigned>(size->width);
  probe.height = static_cast<unsigned>(size->height);
  return probe;
}

}  // namespace conversion
