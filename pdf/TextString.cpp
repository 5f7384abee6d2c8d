#include "pdf/TextString.h"

#include <array>

namespace pdf {

namespace {

constexpr std::array<char16_t, 256> MakePdfDocEncoding() {
  std::array<char16_t, 256> table{};
  for (int i = 0; i < 256; ++i) table[static_cast<size_t>(i)] = static_cast<char16_t>(i);
  table[0x16] = 0x0017;
  constexpr char16_t accents[] = {0x02D8, 0x02C7, 0x02C6, 0x02D9, 0x02DD, 0x02DB, 0x02DA, 0x02DC};
  for (size_t i = 0; i < 8; ++i) table[0x18 + i] = accents[i];
  constexpr char16_t punctuation[] = {
      0x2022, 0x2020, 0x2021, 0x2026, 0x2014, 0x2013, 0x0192, 0x2044, 0x2039, 0x203A, 0x2212,
      0x2030, 0x201E, 0x201C, 0x201D, 0x2018, 0x2019, 0x201A, 0x2122, 0xFB01, 0xFB02, 0x0141,
      0x0152, 0x0160, 0x0178, 0x017D, 0x0131, 0x0142, 0x0153, 0x0161, 0x017E};
  for (size_t i = 0; i < 31; ++i) table[0x80 + i] = punctuation[i];
  table[0x7F] = kReplacementChar;
  table[0x9F] = kReplacementChar;
  table[0xA0] = 0x20AC;
  table[0xAD] = kReplacementChar;
  return table;
}

constexpr std::array<char16_t, 256> kPdfDocEncoding = MakePdfDocEncoding();

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool IsNoncharacter(char32_t cp) { return (cp >= 0xFDD0 && cp <= 0xFDEF) || (cp & 0xFFFE) == 0xFFFE; }

// Calls `emit` with every code point of a UTF-16 text; unpaired surrogates come as U+FFFD.
template <class Emit>
void ForEachCodePoint(std::u16string_view text, Emit&& emit) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      emit(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      emit(kReplacementChar);
    } else {
      emit(unit);
    }
  }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes the code point at `pos` and moves past it, or past the maximal invalid subpart
// (giving U+FFFD), as the Unicode standard recommends for replacement.
char32_t NextUtf8(std::string_view bytes, size_t& pos) {
  const auto lead = static_cast<uint8_t>(bytes[pos++]);
  if (lead < 0x80) return lead;
  int length = 0;
  char32_t cp = 0;
  uint8_t low = 0x80, high = 0xBF;  // the range of the second byte; later ones are 80..BF
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, cp = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, cp = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return kReplacementChar;
  }
  for (int i = 1; i < length; ++i) {
    if (pos >= bytes.size()) return kReplacementChar;
    const auto next = static_cast<uint8_t>(bytes[pos]);
    if (next < low || next > high) return kReplacementChar;
    low = 0x80, high = 0xBF;
    cp = (cp << 6) | (next & 0x3F);
    ++pos;
  }
  return cp;
}

std::optional<Bytes> EncodePdfDoc(std::u16string_view text) {
  Bytes bytes;
  bytes.reserve(text.size());
  for (const char16_t ch : text) {
    const std::optional<uint8_t> byte = PdfDocEncodingByte(ch);
    if (!byte) return std::nullopt;
    bytes.push_back(static_cast<char>(*byte));
  }
  return bytes;
}

Bytes EncodeUtf16BigEndian(std::u16string_view text) {
  Bytes bytes = "\xFE\xFF";
  bytes.reserve(2 + text.size() * 2);
  std::u16string units;
  ForEachCodePoint(text, [&](char32_t cp) { AppendUtf16(units, IsNoncharacter(cp) ? kReplacementChar : cp); });
  for (const char16_t unit : units) {
    bytes.push_back(static_cast<char>(unit >> 8));
    bytes.push_back(static_cast<char>(unit & 0xFF));
  }
  return bytes;
}

std::u16string DecodeUtf16BigEndian(std::string_view bytes) {
  std::u16string units;
  units.reserve(bytes.size() / 2 + 1);
  for (size_t i = 0; i < bytes.size(); i += 2) {
    const auto high = static_cast<uint8_t>(bytes[i]);
    const auto low = i + 1 < bytes.size() ? static_cast<uint8_t>(bytes[i + 1]) : uint8_t{0};
    units.push_back(static_cast<char16_t>(high << 8 | low));
  }
  std::u16string text;
  text.reserve(units.size());
  ForEachCodePoint(units, [&](char32_t cp) { AppendUtf16(text, cp); });
  return text;
}

}  // namespace

std::u16string_view TextInUse(std::u16string_view text) {
  if (text.size() >= 2 && (text[0] >> 8) == 0xE7 && (text[1] >> 8) == 0xF8) {
    const size_t length = static_cast<size_t>((text[1] & 0xFF) << 8 | (text[0] & 0xFF));
    return text.substr(2, length);
  }
  return text;
}

char16_t PdfDocEncodingChar(uint8_t byte) { return kPdfDocEncoding[byte]; }

std::optional<uint8_t> PdfDocEncodingByte(char16_t ch) {
  // The three undefined codes stand for no character: U+FFFD itself has no byte, so a text
  // holding it goes to UTF-16 instead of turning into an undefined code.
  if (ch == kReplacementChar) return std::nullopt;
  const auto same = static_cast<uint8_t>(ch & 0xFF);
  if (kPdfDocEncoding[same] == ch) return same;
  for (size_t byte = 0; byte < kPdfDocEncoding.size(); ++byte) {
    if (kPdfDocEncoding[byte] == ch) return static_cast<uint8_t>(byte);
  }
  return std::nullopt;
}

Bytes EncodeTextString(std::u16string_view text, bool forceUnicode) {
  const std::u16string_view used = TextInUse(text);
  if (used.empty()) return {};
  if (!forceUnicode) {
    if (std::optional<Bytes> bytes = EncodePdfDoc(used)) return std::move(*bytes);
  }
  return EncodeUtf16BigEndian(used);
}

std::u16string DecodeTextString(std::string_view bytes) {
  if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') return DecodeUtf16BigEndian(bytes.substr(2));
  std::u16string text;
  text.reserve(bytes.size());
  for (const char byte : bytes) text.push_back(PdfDocEncodingChar(static_cast<uint8_t>(byte)));
  return text;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  ForEachCodePoint(text, [&](char32_t cp) { AppendUtf8(out, cp); });
  return out;
}

std::u16string Utf8ToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (size_t pos = 0; pos < bytes.size();) AppendUtf16(out, NextUtf8(bytes, pos));
  return out;
}

std::string SanitizeUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t pos = 0; pos < bytes.size();) AppendUtf8(out, NextUtf8(bytes, pos));
  return out;
}

}  // namespace pdf
