// PDF text strings (PDFDocEncoding or UTF-16BE with a byte-order mark) and the UTF-8 / UTF-16
// conversions the metadata packet needs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "pdf/PdfObjects.h"

namespace pdf {

inline constexpr char16_t kReplacementChar = u'\uFFFD';

// The character a PDFDocEncoding byte stands for; U+FFFD for the undefined codes 7F, 9F, AD.
char16_t PdfDocEncodingChar(uint8_t byte);
// The byte for a character: the byte of the same number as its low byte when that one
// stands for it, else the lowest byte that does; none for characters outside the encoding.
std::optional<uint8_t> PdfDocEncodingByte(char16_t ch);

// The part of a text that is stored: a text starting with the characters E7xx F8yy carries
// an explicit length and stands for the yyxx characters after them; any other text is whole.
std::u16string_view TextInUse(std::u16string_view text);

// A text string's bytes: PDFDocEncoding when every character has a code there (and
// `forceUnicode` is off), else FE FF and UTF-16BE with invalid characters as U+FFFD. Only
// TextInUse of the text is encoded.
Bytes EncodeTextString(std::u16string_view text, bool forceUnicode);
// UTF-16BE after an FE FF mark (invalid sequences as U+FFFD), PDFDocEncoding otherwise.
std::u16string DecodeTextString(std::string_view bytes);

// UTF-8 of a UTF-16 text; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// UTF-16 of UTF-8 bytes; every maximal invalid subpart becomes one U+FFFD.
std::u16string Utf8ToUtf16(std::string_view bytes);
// The same bytes with every invalid subpart replaced by U+FFFD, so the result is valid UTF-8.
std::string SanitizeUtf8(std::string_view bytes);

}  // namespace pdf
