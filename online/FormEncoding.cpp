#include "online/FormEncoding.h"

#include <array>
#include <cctype>

namespace online {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendEscaped(std::string& out, unsigned char byte) {
  out += '%';
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
}

bool IsAsciiAlnum(unsigned char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// Characters that may stand in an address as they are (RFC 3986 unreserved and reserved).
bool IsUrlSafe(unsigned char c) {
  if (IsAsciiAlnum(c)) return true;
  constexpr std::string_view kSafe = "-._~!*'();:@&=+$,/?#[]";
  return kSafe.find(static_cast<char>(c)) != std::string_view::npos;
}

constexpr std::array<int, 256> Base64Table() {
  std::array<int, 256> table{};
  for (int& value : table) value = -1;
  constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  for (std::size_t i = 0; i < kAlphabet.size(); ++i) table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int>(i);
  return table;
}

}  // namespace

std::string FormEncodeComponent(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsAsciiAlnum(c) || c == '*' || c == '-' || c == '.' || c == '_')
      out += ch;
    else if (c == ' ')
      out += '+';
    else
      AppendEscaped(out, c);
  }
  return out;
}

std::string EncodeForm(const std::vector<std::string>& lines) {
  std::string body;
  for (const std::string& line : lines) {
    if (!body.empty()) body += '&';
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
      body += FormEncodeComponent(line) + '=';
      continue;
    }
    body += FormEncodeComponent(std::string_view(line).substr(0, equals));
    body += '=';
    body += FormEncodeComponent(std::string_view(line).substr(equals + 1));
  }
  return body;
}

std::string UrlEncode(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '%' && i + 2 < text.size() && IsHexDigit(text[i + 1]) && IsHexDigit(text[i + 2]))
      out += '%';
    else if (c != '%' && IsUrlSafe(c))
      out += text[i];
    else
      AppendEscaped(out, c);
  }
  return out;
}

std::string DecodeBase64(std::string_view text) {
  static constexpr std::array<int, 256> kTable = Base64Table();
  std::string out;
  out.reserve(text.size() / 4 * 3);
  unsigned int bits = 0;
  int count = 0;
  for (const char ch : text) {
    if (ch == '=') break;
    const int value = kTable[static_cast<unsigned char>(ch)];
    if (value < 0) continue;
    bits = ((bits << 6) | static_cast<unsigned int>(value)) & 0xFFFFu;
    count += 6;
    if (count >= 8) {
      count -= 8;
      out += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return out;
}

}  // namespace online
