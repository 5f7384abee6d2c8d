#include "pdf/ImageFormat.h"

#include <algorithm>
#include <array>
#include <optional>

#include "pdf/PdfText.h"

namespace pdf {

namespace {

// Reads from a byte buffer; reads past the end deliver nothing, which ends every walk.
class ByteCursor {
 public:
  explicit ByteCursor(std::string_view data) : data_(data) {}

  std::optional<uint8_t> Byte() {
    if (position_ >= data_.size()) return std::nullopt;
    return static_cast<uint8_t>(data_[position_++]);
  }
  // 16-bit big-endian; nothing when fewer than two bytes are left.
  std::optional<int32_t> Word() {
    if (data_.size() < 2 || position_ > data_.size() - 2) {
      position_ = std::max(position_, data_.size());
      return std::nullopt;
    }
    const auto high = static_cast<uint8_t>(data_[position_]);
    const auto low = static_cast<uint8_t>(data_[position_ + 1]);
    position_ += 2;
    return (high << 8) | low;
  }
  std::string_view Take(size_t count) {
    const std::string_view part = position_ < data_.size() ? data_.substr(position_, count) : std::string_view();
    position_ += count;
    return part;
  }
  void Skip(int64_t count) { SeekTo(static_cast<int64_t>(position_) + count); }
  void SeekTo(int64_t position) { position_ = static_cast<size_t>(std::max<int64_t>(position, 0)); }
  size_t Position() const { return position_; }

 private:
  std::string_view data_;
  size_t position_ = 0;  // may lie past the end
};

uint32_t Unsigned(std::string_view bytes, size_t offset, size_t width, bool littleEndian) {
  uint32_t value = 0;
  for (size_t i = 0; i < width; ++i) {
    const auto byte = static_cast<uint8_t>(bytes[offset + (littleEndian ? width - 1 - i : i)]);
    value = (value << 8) | byte;
  }
  return value;
}

uint32_t LittleEndian(std::string_view bytes, size_t offset, size_t width) {
  return Unsigned(bytes, offset, width, true);
}

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

bool IsPlaceableWmf(std::string_view head) {
  if (head.size() < 22 || LittleEndian(head, 0, 4) != 0x9AC6CDD7) return false;
  uint32_t checksum = 0;
  for (size_t i = 0; i < 10; ++i) checksum ^= LittleEndian(head, 2 * i, 2);
  return checksum == LittleEndian(head, 20, 2);
}

bool IsEmf(std::string_view head) {
  return head.size() >= 44 && LittleEndian(head, 0, 4) == 1 && LittleEndian(head, 40, 4) == 0x464D4520;
}

bool IsBmp(std::string_view head) {
  return head.size() >= 10 && StartsWith(head, "BM") && LittleEndian(head, 6, 2) == 0 &&
         LittleEndian(head, 8, 2) == 0;
}

// The horizontal and vertical resolution of the first image directory of a TIFF structure,
// rounded to whole numbers; nothing when the structure or either entry cannot be read. Only
// the first directory is read, so a looping directory chain costs nothing.
std::optional<std::pair<int32_t, int32_t>> TiffResolution(std::string_view tiff) {
  if (tiff.size() < 8) return std::nullopt;
  const bool little = StartsWith(tiff, "II");
  if (!little && !StartsWith(tiff, "MM")) return std::nullopt;
  auto read = [&](size_t offset, size_t width) -> std::optional<uint32_t> {
    if (offset > tiff.size() || width > tiff.size() - offset) return std::nullopt;
    return Unsigned(tiff, offset, width, little);
  };
  if (read(2, 2) != 42u) return std::nullopt;
  const uint32_t directory = *read(4, 4);
  const std::optional<uint32_t> count = read(directory, 2);
  if (!count) return std::nullopt;

  constexpr uint32_t kXResolution = 0x011A, kYResolution = 0x011B, kRational = 5;
  std::optional<int32_t> x, y;
  for (uint32_t i = 0; i < *count; ++i) {
    const size_t entry = size_t{directory} + 2 + size_t{i} * 12;
    const auto tag = read(entry, 2), type = read(entry + 2, 2), offset = read(entry + 8, 4);
    if (!tag || !type || !offset) return std::nullopt;
    if ((*tag != kXResolution && *tag != kYResolution) || *type != kRational) continue;
    const auto numerator = read(*offset, 4), denominator = read(size_t{*offset} + 4, 4);
    if (!numerator || !denominator || *denominator == 0) continue;
    const int32_t value = RoundHalfEven(static_cast<double>(*numerator) / *denominator);
    (*tag == kXResolution ? x : y) = value;
  }
  if (!x || !y) return std::nullopt;
  return std::make_pair(*x, *y);
}

void ReadAppSegment(ByteCursor& cursor, uint8_t marker, std::string_view data, JpegHeaderInfo& info) {
  const std::optional<int32_t> length = cursor.Word();
  if (!length) return;
  const auto segmentStart = static_cast<int64_t>(cursor.Position());
  const int64_t segmentEnd = segmentStart + *length - 2;
  const std::string_view signature = cursor.Take(5);
  if (marker == 0xE0 && signature == std::string_view("JFIF\0", 5)) {
    cursor.Skip(2);
    const auto units = cursor.Byte();
    const auto x = cursor.Word();
    const auto y = cursor.Word();
    if (units) info.DensityUnits = *units;
    if (x) info.XDensity = *x;
    if (y) info.YDensity = *y;
  } else if (marker == 0xE1 && signature == std::string_view("Exif\0", 5)) {
    cursor.Skip(1);
    const auto tiffStart = static_cast<int64_t>(cursor.Position());
    const int64_t available = static_cast<int64_t>(data.size()) - tiffStart;
    const int64_t tiffLength = std::min(segmentEnd - tiffStart, available);
    if (tiffLength > 0) {
      const auto resolution = TiffResolution(data.substr(static_cast<size_t>(tiffStart), static_cast<size_t>(tiffLength)));
      // Exif resolution counts only where JFIF left the unit open (unit 0, aspect ratio).
      if (info.DensityUnits == 0 && resolution) {
        info.DensityUnits = 1;
        info.XDensity = resolution->first;
        info.YDensity = resolution->second;
      }
    }
  }
  cursor.SeekTo(segmentEnd);
}

bool IsFrameHeader(uint8_t marker) { return marker >= 0xC0 && marker <= 0xC3; }
bool HasNoLength(uint8_t marker) { return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7); }

}  // namespace

std::string ReadWholeStream(TStream& stream) {
  std::string bytes;
  if (stream.Seek(0, SeekOrigin::Begin) != 0) return bytes;
  const int64_t size = stream.Size();
  if (size > 0) bytes.reserve(static_cast<size_t>(size));
  std::array<char, 65536> buffer{};
  for (size_t n; (n = stream.Read(buffer.data(), buffer.size())) > 0;) bytes.append(buffer.data(), n);
  return bytes;
}

int32_t DetectImageFormat(TStream& stream) {
  std::array<char, 44> buffer{};
  stream.Seek(0, SeekOrigin::Begin);
  const size_t got = stream.Read(buffer.data(), buffer.size());
  stream.Seek(0, SeekOrigin::Begin);
  const std::string_view head(buffer.data(), got);

  if (IsPlaceableWmf(head)) return kFormatWmf;
  if (IsEmf(head)) return kFormatEmf;
  if (IsBmp(head)) return kFormatBmp;
  if (StartsWith(head, "\xFF\xD8")) return kFormatJpeg;
  if (StartsWith(head, "MM") || StartsWith(head, "II")) return kFormatTiff;
  if (StartsWith(head, "\x89PNG\r\n\x1A\n")) return kFormatPng;
  if (StartsWith(head, "GIF87a") || StartsWith(head, "GIF89a")) return kFormatGif;
  return kFormatUnknown;
}

JpegHeaderInfo ReadJpegHeader(std::string_view data) {
  JpegHeaderInfo info;
  ByteCursor cursor(data);
  if (cursor.Take(2) != "\xFF\xD8") return info;

  std::optional<uint8_t> next = cursor.Byte();
  while (next == 0xFF) {
    std::optional<uint8_t> marker = cursor.Byte();
    while (marker == 0xFF) marker = cursor.Byte();  // fill bytes
    if (!marker) break;

    if (*marker == 0xE0 || *marker == 0xE1) {
      ReadAppSegment(cursor, *marker, data, info);
    } else if (IsFrameHeader(*marker)) {
      cursor.Skip(3);
      const auto height = cursor.Word();
      const auto width = cursor.Word();
      const auto components = cursor.Byte();
      if (height) info.Height = *height;
      if (width) info.Width = *width;
      if (components) info.Components = *components;
      break;
    } else if (HasNoLength(*marker)) {
      next = 0xFF;
      continue;
    } else {
      const std::optional<int32_t> length = cursor.Word();
      if (!length) break;
      cursor.Skip(*length - 2);
    }
    next = cursor.Byte();
  }
  return info;
}

JpegHeaderInfo ReadJpegHeader(TStream& stream) { return ReadJpegHeader(ReadWholeStream(stream)); }

}  // namespace pdf
