#include "pdf/PdfText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>

namespace pdf {

std::string FormatNumber(double value, int decimals) {
  if (!std::isfinite(value)) return "0";
  decimals = std::clamp(decimals, 0, 20);
  // Up to 309 integer digits for the largest double, a sign, a point and the decimals.
  std::array<char, 340> buffer;
  auto [end, error] =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, decimals);
  if (error != std::errc()) return "0";
  std::string text(buffer.data(), end);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") return "0";
  return text;
}

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool NameByteNeedsEscape(unsigned char byte) {
  if (byte <= 32 || byte >= 127) return true;
  switch (byte) {
    case '/': case '(': case ')': case '#': case '%': case '[':
    case '{': case '}': case ']': case '<': case '>':
      return true;
    default:
      return false;
  }
}
}  // namespace

void AppendName(std::string& out, std::string_view value) {
  out += '/';
  for (unsigned char byte : value) {
    if (NameByteNeedsEscape(byte)) {
      out += '#';
      out += kHexDigits[byte >> 4];
      out += kHexDigits[byte & 15];
    } else {
      out += static_cast<char>(byte);
    }
  }
}

void AppendLiteralString(std::string& out, std::string_view value) {
  out += '(';
  for (char byte : value) {
    switch (byte) {
      case '\b': out += "\\b"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\f': out += "\\f"; break;
      case '\r': out += "\\r"; break;
      case '(': out += "\\("; break;
      case ')': out += "\\)"; break;
      case '\\': out += "\\\\"; break;
      default: out += byte;
    }
  }
  out += ')';
}

void AppendHexString(std::string& out, std::string_view value) {
  out += '<';
  for (unsigned char byte : value) {
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 15];
  }
  out += '>';
}

int RoundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  double rounded = std::nearbyint(value);  // the default rounding mode sends halves to even
  if (rounded >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (rounded <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(rounded);
}

}  // namespace pdf
