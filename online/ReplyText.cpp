#include "online/ReplyText.h"

#include <QDateTime>
#include <charconv>
#include <stdexcept>

namespace online {

namespace {

[[noreturn]] void NotANumber() { throw std::runtime_error("strtofloat error"); }

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits with one optional "." and an optional exponent; from_chars alone would also take
// "inf" and "nan".
bool IsPlainDecimal(std::string_view text) {
  std::size_t i = 0;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t start = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == start) return false;
  }
  return i == text.size();
}

}  // namespace

std::vector<std::string> SplitPieces(std::string_view text) {
  std::vector<std::string> pieces;
  std::string piece;
  char quote = 0;
  for (const char c : text) {
    if (quote != 0) {
      if (c == quote) quote = 0;
      piece += c;
    } else if (c == '|' || c == '\r' || c == '\n') {
      if (!piece.empty()) pieces.push_back(std::move(piece));
      piece.clear();
    } else {
      if (c == '\'' || c == '"') quote = c;
      piece += c;
    }
  }
  if (!piece.empty()) pieces.push_back(std::move(piece));
  return pieces;
}

long double ParseDecimalText(const std::string& text) {
  std::string_view view(text);
  while (!view.empty() && view.front() == ' ') view.remove_prefix(1);
  while (!view.empty() && view.back() == ' ') view.remove_suffix(1);
  bool negative = false;
  if (!view.empty() && (view.front() == '+' || view.front() == '-')) {
    negative = view.front() == '-';
    view.remove_prefix(1);
  }
  if (!IsPlainDecimal(view)) NotANumber();
  long double value = 0;
  const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
  if (error != std::errc() || end != view.data() + view.size()) NotANumber();
  return negative ? -value : value;
}

long double LatestVersion(std::string_view reply) {
  const std::vector<std::string> pieces = SplitPieces(reply);
  if (pieces.empty() || pieces.size() > 255) return 0;
  try {
    return ParseDecimalText(pieces.front());
  } catch (const std::runtime_error&) {
    return 0;
  }
}

bool IsNewerVersion(std::string_view reply, const std::string& productVersion) {
  const auto latest = static_cast<float>(LatestVersion(reply));
  const auto current = static_cast<float>(ParseDecimalText(productVersion));
  return current < latest;
}

std::string NormaliseBannerReply(std::string text) {
  ReplaceAll(text, " | ", " - ");
  ReplaceAll(text, ":|:", "|");
  return text;
}

std::string LogTimestamp() {
  return QDateTime::currentDateTime().toString(QStringLiteral("yyyy.MM.dd hh.mm:ss")).toStdString();
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace online
