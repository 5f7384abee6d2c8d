#include "conversion/DataChecks.h"

#include <cstdint>
#include <fstream>
#include <vector>

namespace conversion {

namespace {

class Reader {
 public:
  explicit Reader(const std::string& path) : in_(path, std::ios::binary) {}

  bool Read(void* buffer, std::streamsize count) {
    in_.read(static_cast<char*>(buffer), count);
    return in_.gcount() == count;
  }
  bool Skip(uint64_t count) {
    in_.seekg(static_cast<std::streamoff>(count), std::ios::cur);
    return static_cast<bool>(in_);
  }
  int Byte() { return in_.get(); }
  uint64_t Be(int bytes, bool& ok) {
    unsigned char b[8] = {};
    ok = ok && Read(b, bytes);
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value = (value << 8) | b[i];
    return value;
  }
  uint64_t Size() {
    const auto here = in_.tellg();
    in_.seekg(0, std::ios::end);
    const auto size = in_.tellg();
    in_.seekg(here);
    return size < 0 ? 0 : static_cast<uint64_t>(size);
  }
  uint64_t Position() { return static_cast<uint64_t>(in_.tellg()); }

 private:
  std::ifstream in_;
};

uint32_t Le(const unsigned char* p, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | p[i];
  return value;
}

// One PackBits row must fill exactly `rowBytes` from exactly its own bytes.
bool PackBitsRowFits(const std::vector<unsigned char>& packed, uint64_t rowBytes) {
  uint64_t out = 0;
  size_t i = 0;
  while (i < packed.size()) {
    const auto n = static_cast<int8_t>(packed[i++]);
    if (n == -128) continue;
    if (n >= 0) {
      const size_t literal = static_cast<size_t>(n) + 1;
      if (i + literal > packed.size()) return false;
      i += literal;
      out += literal;
    } else {
      if (i + 1 > packed.size()) return false;
      i += 1;
      out += static_cast<uint64_t>(1 - n);
    }
    if (out > rowBytes) return false;
  }
  return out == rowBytes;
}

std::string CheckPsd(const std::string& path) {
  Reader in(path);
  unsigned char h[26];
  if (!in.Read(h, sizeof h)) return "truncated PSD header";
  const unsigned version = (h[4] << 8) | h[5];
  const uint64_t channels = (h[12] << 8) | h[13];
  const uint64_t height = (uint64_t{h[14]} << 24) | (h[15] << 16) | (h[16] << 8) | h[17];
  const uint64_t width = (uint64_t{h[18]} << 24) | (h[19] << 16) | (h[20] << 8) | h[21];
  const unsigned depth = (h[22] << 8) | h[23];
  if ((version != 1 && version != 2) || channels == 0 || channels > 56 ||
      (depth != 1 && depth != 8 && depth != 16 && depth != 32)) {
    return "damaged PSD header";
  }
  bool ok = true;
  in.Skip(in.Be(4, ok));                    // colour mode data
  ok = ok && in.Skip(in.Be(4, ok));         // image resources
  ok = ok && in.Skip(in.Be(version == 1 ? 4 : 8, ok));  // layers and masks
  const uint64_t compression = in.Be(2, ok);
  if (!ok) return "truncated PSD data";

  const uint64_t rowBytes = (width * depth + 7) / 8;
  const uint64_t rows = channels * height;
  const uint64_t size = in.Size(), position = in.Position();
  if (position > size) return "truncated PSD data";
  const uint64_t remaining = size - position;
  if (compression == 0) return remaining >= rows * rowBytes ? "" : "truncated PSD image data";
  if (compression != 1) return "unsupported PSD compression";

  const int countBytes = version == 1 ? 2 : 4;
  if (remaining < rows * countBytes) return "truncated PSD image data";
  std::vector<uint64_t> counts(rows);
  for (auto& count : counts) count = in.Be(countBytes, ok);
  std::vector<unsigned char> packed;
  for (uint64_t count : counts) {
    if (count > remaining) return "damaged PSD image data";
    packed.resize(count);
    if (!in.Read(packed.data(), static_cast<std::streamsize>(count))) return "truncated PSD image data";
    if (!PackBitsRowFits(packed, rowBytes)) return "damaged PSD image data";
  }
  return {};
}

// Uncompressed bitmaps must hold every row they announce.
std::string CheckBmp(const std::string& path) {
  Reader in(path);
  unsigned char h[54];
  if (!in.Read(h, 34)) return {};  // too short for the checks below; FreeImage refuses it
  const uint32_t headerSize = Le(h + 14, 4);
  if (headerSize < 40) return {};
  const uint32_t compression = Le(h + 30, 4);
  if (compression != 0 && compression != 3) return {};
  const uint64_t offset = Le(h + 10, 4);
  const uint64_t width = Le(h + 18, 4);
  const auto height = static_cast<int32_t>(Le(h + 22, 4));
  const uint64_t bpp = Le(h + 28, 2);
  const uint64_t stride = (width * bpp + 31) / 32 * 4;
  const uint64_t rows = height < 0 ? -static_cast<int64_t>(height) : height;
  return in.Size() >= offset + stride * rows ? "" : "truncated BMP data";
}

bool SkipGifSubBlocks(Reader& in) {
  for (;;) {
    const int length = in.Byte();
    if (length == EOF) return false;
    if (length == 0) return true;
    if (!in.Skip(static_cast<uint64_t>(length))) return false;
  }
}

// The first frame's image data must be complete up to its block terminator.
std::string CheckGif(const std::string& path) {
  Reader in(path);
  unsigned char h[13];
  if (!in.Read(h, sizeof h)) return "truncated GIF data";
  if ((h[10] & 0x80) != 0 && !in.Skip(3u << ((h[10] & 7) + 1))) return "truncated GIF data";
  for (;;) {
    const int introducer = in.Byte();
    if (introducer == 0x21) {
      if (in.Byte() == EOF || !SkipGifSubBlocks(in)) return "truncated GIF data";
    } else if (introducer == 0x2C) {
      unsigned char d[9];
      if (!in.Read(d, sizeof d)) return "truncated GIF data";
      if ((d[8] & 0x80) != 0 && !in.Skip(3u << ((d[8] & 7) + 1))) return "truncated GIF data";
      if (in.Byte() == EOF || !SkipGifSubBlocks(in)) return "truncated GIF data";
      return {};
    } else {
      return "damaged GIF data";
    }
  }
}

// The run-length data must cover every plane of every row.
std::string CheckPcx(const std::string& path) {
  Reader in(path);
  unsigned char h[128];
  if (!in.Read(h, sizeof h)) return "truncated PCX header";
  const uint64_t rows = uint64_t{Le(h + 10, 2)} - Le(h + 6, 2) + 1;
  const uint64_t needed = rows * h[65] * Le(h + 66, 2);
  if (h[2] != 1) return in.Size() >= 128 + needed ? "" : "truncated PCX data";
  uint64_t decoded = 0;
  while (decoded < needed) {
    const int b = in.Byte();
    if (b == EOF) return "truncated PCX data";
    if ((b & 0xC0) == 0xC0) {
      if (in.Byte() == EOF) return "truncated PCX data";
      decoded += static_cast<uint64_t>(b & 0x3F);
    } else {
      ++decoded;
    }
  }
  return {};
}

}  // namespace

std::string CheckImageData(const std::string& path, FREE_IMAGE_FORMAT format) {
  switch (format) {
    case FIF_PSD: return CheckPsd(path);
    case FIF_BMP: return CheckBmp(path);
    case FIF_GIF: return CheckGif(path);
    case FIF_PCX: return CheckPcx(path);
    default: return {};
  }
}

}  // namespace conversion
