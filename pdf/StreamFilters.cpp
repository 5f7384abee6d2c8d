#include "pdf/StreamFilters.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

namespace pdf {

Bytes Deflate(const Bytes& data) {
  if (data.empty()) return {};
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  Bytes out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                static_cast<uLong>(data.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
    return {};
  out.resize(size);
  return out;
}

Bytes Inflate(const Bytes& data) {
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return {};
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  Bytes out;
  char chunk[16384];
  int status = Z_OK;
  while (status == Z_OK) {
    zs.next_out = reinterpret_cast<Bytef*>(chunk);
    zs.avail_out = sizeof chunk;
    status = inflate(&zs, Z_NO_FLUSH);
    out.append(chunk, sizeof chunk - zs.avail_out);
    if (status == Z_BUF_ERROR && zs.avail_in == 0) break;  // input ended before the stream did
  }
  inflateEnd(&zs);
  return status == Z_STREAM_END ? out : Bytes();
}

namespace {

int PaethPredictor(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

Bytes UndoPngPredictor(const Bytes& data, size_t rowBytes, size_t pixelBytes) {
  Bytes out;
  std::vector<uint8_t> previous(rowBytes, 0), row(rowBytes, 0);
  size_t pos = 0;
  while (pos < data.size()) {
    const uint8_t type = static_cast<uint8_t>(data[pos++]);
    const size_t available = std::min(rowBytes, data.size() - pos);
    for (size_t i = 0; i < rowBytes; ++i) row[i] = i < available ? static_cast<uint8_t>(data[pos + i]) : 0;
    pos += available;
    for (size_t i = 0; i < rowBytes; ++i) {
      const int left = i >= pixelBytes ? row[i - pixelBytes] : 0;
      const int up = previous[i];
      const int upLeft = i >= pixelBytes ? previous[i - pixelBytes] : 0;
      int value = row[i];
      switch (type) {
        case 1: value += left; break;
        case 2: value += up; break;
        case 3: value += (left + up) / 2; break;
        case 4: value += PaethPredictor(left, up, upLeft); break;
        default: break;
      }
      row[i] = static_cast<uint8_t>(value);
    }
    out.append(reinterpret_cast<const char*>(row.data()), available);
    previous.swap(row);
  }
  return out;
}

Bytes UndoTiffPredictor(const Bytes& data, size_t rowBytes, int colors, int bits) {
  Bytes out = data;
  if (bits == 8) {
    for (size_t rowStart = 0; rowStart < out.size(); rowStart += rowBytes)
      for (size_t i = static_cast<size_t>(colors); i < rowBytes && rowStart + i < out.size(); ++i)
        out[rowStart + i] = static_cast<char>(out[rowStart + i] + out[rowStart + i - static_cast<size_t>(colors)]);
  } else if (bits == 16) {
    const size_t step = static_cast<size_t>(colors) * 2;
    for (size_t rowStart = 0; rowStart < out.size(); rowStart += rowBytes)
      for (size_t i = step; i + 1 < rowBytes && rowStart + i + 1 < out.size(); i += 2) {
        auto at = [&](size_t k) { return static_cast<uint8_t>(out[rowStart + k]); };
        const unsigned value = ((at(i) << 8) | at(i + 1)) + ((at(i - step) << 8) | at(i - step + 1));
        out[rowStart + i] = static_cast<char>((value >> 8) & 0xFF);
        out[rowStart + i + 1] = static_cast<char>(value & 0xFF);
      }
  }
  // Other depths are rare enough in streams this writer reads back to be left as they are.
  return out;
}

}  // namespace

Bytes UndoPredictor(const Bytes& data, const PredictorParams& params) {
  if (params.predictor < 2) return data;
  if (params.colors < 1 || params.bitsPerComponent < 1 || params.columns < 1) return data;
  const uint64_t bitsPerPixel = static_cast<uint64_t>(params.colors) * static_cast<uint64_t>(params.bitsPerComponent);
  const uint64_t rowBits = bitsPerPixel * static_cast<uint64_t>(params.columns);
  if (rowBits > (uint64_t{1} << 34)) return {};  // no sane stream has rows this long
  const size_t rowBytes = static_cast<size_t>((rowBits + 7) / 8);
  const size_t pixelBytes = static_cast<size_t>(std::max<uint64_t>(1, (bitsPerPixel + 7) / 8));
  if (params.predictor == 2) return UndoTiffPredictor(data, rowBytes, params.colors, params.bitsPerComponent);
  if (params.predictor >= 10) return UndoPngPredictor(data, rowBytes, pixelBytes);
  return data;
}

namespace {
bool IsPdfWhitespace(char c) { return c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32; }
}  // namespace

Bytes DecodeAscii85(const Bytes& data) {
  Bytes out;
  uint32_t group[5];
  int count = 0;
  auto flush = [&](int n) {
    // A partial group of n characters is padded with "u" and gives n - 1 bytes.
    for (int i = n; i < 5; ++i) group[i] = 84;
    uint64_t value = 0;
    for (int i = 0; i < 5; ++i) value = value * 85 + group[i];
    if (value > std::numeric_limits<uint32_t>::max()) value &= 0xFFFFFFFFu;
    for (int i = 0; i < n - 1; ++i) out += static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
  };
  size_t pos = 0;
  if (data.compare(0, 2, "<~") == 0) pos = 2;
  for (; pos < data.size(); ++pos) {
    const char c = data[pos];
    if (IsPdfWhitespace(c)) continue;
    if (c == '~') break;
    if (c == 'z' && count == 0) {
      out.append(4, '\0');
      continue;
    }
    if (c < '!' || c > 'u') continue;
    group[count++] = static_cast<uint32_t>(c - '!');
    if (count == 5) {
      flush(5);
      count = 0;
    }
  }
  if (count > 1) flush(count);
  return out;
}

Bytes DecodeAsciiHex(const Bytes& data) {
  Bytes out;
  int high = -1;
  for (char c : data) {
    if (c == '>') break;
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else continue;
    if (high < 0) {
      high = digit;
    } else {
      out += static_cast<char>(high * 16 + digit);
      high = -1;
    }
  }
  if (high >= 0) out += static_cast<char>(high * 16);
  return out;
}

Bytes DecodeLzw(const Bytes& data, int earlyChange) {
  constexpr int kClear = 256, kEnd = 257;
  constexpr size_t kTableLimit = 4096;  // 12-bit codes
  std::vector<Bytes> table;
  auto resetTable = [&] {
    table.assign(258, Bytes());
    for (int i = 0; i < 256; ++i) table[static_cast<size_t>(i)] = Bytes(1, static_cast<char>(i));
  };
  resetTable();
  const int early = earlyChange != 0 ? 1 : 0;
  int codeLength = 9;
  uint32_t buffer = 0;
  int bitsInBuffer = 0;
  int previous = -1;
  Bytes out;
  for (unsigned char byte : data) {
    buffer = (buffer << 8) | byte;
    bitsInBuffer += 8;
    while (bitsInBuffer >= codeLength) {
      const int code = static_cast<int>((buffer >> (bitsInBuffer - codeLength)) & ((1u << codeLength) - 1));
      bitsInBuffer -= codeLength;
      if (code == kClear) {
        resetTable();
        codeLength = 9;
        previous = -1;
        continue;
      }
      if (code == kEnd) return out;
      Bytes entry;
      if (code < static_cast<int>(table.size()) && !(previous < 0 && code >= 258)) {
        entry = table[static_cast<size_t>(code)];
        if (previous >= 0 && table.size() < kTableLimit)
          table.push_back(table[static_cast<size_t>(previous)] + entry[0]);
      } else if (code == static_cast<int>(table.size()) && previous >= 0 && table.size() < kTableLimit) {
        const Bytes& prior = table[static_cast<size_t>(previous)];
        entry = prior + prior[0];
        table.push_back(entry);
      } else {
        return out;  // a code that cannot occur: stop with what was decoded
      }
      out += entry;
      previous = code;
      const int nextCode = static_cast<int>(table.size()) + early;
      if (nextCode >= (1 << codeLength) && codeLength < 12) ++codeLength;
    }
  }
  return out;
}

}  // namespace pdf
