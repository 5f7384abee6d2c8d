// ParseObject: the PDF text of one object back into objects.
#include <cstdint>
#include <limits>
#include <optional>

#include "pdf/PdfStructure.h"
#include "pdf/PdfText.h"

namespace pdf {

namespace {

bool IsWhitespace(char c) { return c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32; }

// The delimiters that end a keyword or a name; a closing brace is not one.
bool IsDelimiter(char c) {
  switch (c) {
    case '(': case ')': case '<': case '>': case '[': case ']': case '/': case '%': case '{':
      return true;
    default:
      return false;
  }
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<int64_t> ParseInt64(std::string_view text) {
  bool negative = false;
  size_t pos = 0;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
  if (pos == text.size()) return std::nullopt;
  uint64_t value = 0;
  for (; pos < text.size(); ++pos) {
    if (!IsDigit(text[pos])) return std::nullopt;
    const uint64_t digit = static_cast<uint64_t>(text[pos] - '0');
    if (value > (static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + 1 - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  if (!negative && value > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return std::nullopt;
  return negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
}

}  // namespace

// The real conversion: digits, at most one ".", a "-" only in front; anything else gives 0.
// Only the first nine decimals count.
double ParseRealToken(std::string_view text) {
  size_t points = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.') ++points;
    else if (c == '-' && i != 0) return 0;
    else if (c != '-' && !IsDigit(c)) return 0;
  }
  if (points > 1) return 0;
  const size_t point = text.find('.');
  if (point == std::string_view::npos) {
    auto value = ParseInt64(text);
    return value ? static_cast<double>(*value) : 0;
  }
  const bool negative = !text.empty() && text[0] == '-';
  std::string_view wholePart = text.substr(negative ? 1 : 0, point - (negative ? 1 : 0));
  double whole = 0;
  if (!wholePart.empty()) {
    auto value = ParseInt64(wholePart);
    if (!value) return 0;
    whole = static_cast<double>(*value);
  }
  std::string_view fraction = text.substr(point + 1).substr(0, 9);
  int64_t digits = 0;
  double scale = 1;
  for (char c : fraction) {
    digits = digits * 10 + (c - '0');
    scale *= 10;
  }
  const double value = whole + static_cast<double>(digits) / scale;
  return negative ? -value : value;
}

namespace {

class Parser {
 public:
  Parser(TPDFStructure& owner, std::string_view text) : owner_(owner), text_(text) {}

  ParseResult Run() {
    if (text_.empty()) return {owner_.NewNull(), 0};
    TPDFObject* result = nullptr;
    try {
      SkipWhitespaceAndComments();
      result = ParseValue(0);
    } catch (const std::exception&) {
      result = nullptr;
    }
    if (result == nullptr) result = owner_.NewNull();
    return {result, pos_};
  }

 private:
  // Deeper nesting than this is refused as a failed parse rather than risking the stack.
  static constexpr int kMaxDepth = 256;

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek(size_t ahead = 0) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0'; }
  size_t Left() const { return text_.size() - pos_; }

  void SkipWhitespaceAndComments() {
    for (;;) {
      while (!AtEnd() && IsWhitespace(text_[pos_])) ++pos_;
      if (AtEnd() || text_[pos_] != '%') return;
      while (!AtEnd() && text_[pos_] != '\n' && text_[pos_] != '\r') ++pos_;
    }
  }

  TPDFObject* ParseValue(int depth) {
    if (depth > kMaxDepth) throw EPDFError("nested too deeply");
    if (AtEnd()) return nullptr;
    const char c = text_[pos_];
    if (c == '<' && Peek(1) == '<' && Left() >= 4) return ParseDictionary(depth);
    if (c == '[' && Left() >= 2) return ParseArray(depth);
    if (TPDFObject* keyword = ParseKeyword()) return keyword;
    if (c == '-' || c == '.' || IsDigit(c)) return ParseNumberOrReference();
    if (c == '(') return ParseLiteralString();
    if (c == '<' && Peek(1) != '<') return ParseHexString();
    if (c == '/') return ParseName();
    return nullptr;
  }

  TPDFObject* ParseDictionary(int depth) {
    pos_ += 2;
    TPDFDictionary* dictionary = owner_.NewDictionary();
    TPDFObject* key = nullptr;
    TPDFObject* value = nullptr;
    do {
      SkipWhitespaceAndComments();
      key = ParseValue(depth + 1);
      SkipWhitespaceAndComments();
      value = ParseValue(depth + 1);
      if (As<TPDFName>(key) != nullptr && value != nullptr) dictionary->SetEntry(As<TPDFName>(key), value);
    } while (value != nullptr && As<TPDFName>(key) != nullptr);
    if (Peek() == '>' && Peek(1) == '>') pos_ += 2;
    return dictionary;
  }

  TPDFObject* ParseArray(int depth) {
    ++pos_;
    TPDFArray* array = owner_.NewArray();
    bool first = true;
    for (;;) {
      SkipWhitespaceAndComments();
      TPDFObject* item = ParseValue(depth + 1);
      if (item == nullptr) break;
      array->Append(item);
      if (first && item->Kind() == ObjectKind::IndRef && Peek() != ']') ReserveForReferences(*array);
      first = false;
    }
    if (Peek() == ']') ++pos_;
    return array;
  }

  // An array that starts with a reference is likely a list of references: count the "R"s up
  // to the closing bracket and make room for them at once.
  void ReserveForReferences(TPDFArray& array) {
    int32_t count = 0;
    for (size_t i = pos_; i < text_.size() && text_[i] != ']'; ++i)
      if (text_[i] == 'R') ++count;
    array.ReserveSlots(count);
  }

  TPDFObject* ParseKeyword() {
    for (std::string_view word : {"true", "false", "null"}) {
      if (text_.compare(pos_, word.size(), word) != 0) continue;
      const size_t after = pos_ + word.size();
      if (after < text_.size() && !IsWhitespace(text_[after]) && !IsDelimiter(text_[after])) return nullptr;
      pos_ = after;
      if (word == "null") return owner_.NewNull();
      return owner_.NewBoolean(word == "true");
    }
    return nullptr;
  }

  std::string ReadNumberToken() {
    std::string token(1, text_[pos_++]);
    bool seenPoint = token[0] == '.';
    while (!AtEnd()) {
      const char c = text_[pos_];
      if (IsDigit(c)) {
        token += c;
      } else if (c == '.' && !seenPoint) {
        token += c;
        seenPoint = true;
      } else {
        break;
      }
      ++pos_;
    }
    return token;
  }

  static double ConvertToken(std::string token, bool& isReal) {
    if (token.front() == '.') token.insert(token.begin(), '0');
    if (token.back() == '.') token += '0';
    isReal = token.find('.') != std::string::npos;
    if (isReal || token.size() > 8) return ParseRealToken(token);
    auto value = ParseInt64(token);
    return value ? static_cast<double>(*value) : 0;
  }

  TPDFObject* ParseNumberOrReference() {
    bool isReal = false;
    const double first = ConvertToken(ReadNumberToken(), isReal);
    if (isReal) return owner_.NewNumber(first);
    const size_t afterFirst = pos_;
    SkipWhitespaceAndComments();
    if (!AtEnd() && IsDigit(text_[pos_])) {
      bool secondIsReal = false;
      const double second = ConvertToken(ReadNumberToken(), secondIsReal);
      SkipWhitespaceAndComments();
      if (Peek() == 'R' && !AtEnd()) {
        ++pos_;
        return owner_.NewReference(RoundHalfEven(first), RoundHalfEven(second));
      }
    }
    pos_ = afterFirst;
    return owner_.NewNumber(first);
  }

  TPDFObject* ParseLiteralString() {
    const size_t start = ++pos_;
    int depth = 1;
    while (!AtEnd()) {
      const char c = text_[pos_];
      if (c == '\\' && Left() >= 2 && (Peek(1) == '(' || Peek(1) == ')' || Peek(1) == '\\')) {
        pos_ += 2;
        continue;
      }
      ++pos_;
      if (c == '(') ++depth;
      if (c == ')' && --depth == 0) break;
    }
    if (depth != 0) return nullptr;
    return owner_.NewString(UnescapeLiteral(text_.substr(start, pos_ - 1 - start)), TextMode::Literal);
  }

  static Bytes UnescapeLiteral(std::string_view raw) {
    Bytes out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
      const char c = raw[i];
      if (c == '\r') {
        out += '\n';
        if (i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
        continue;
      }
      if (c != '\\' || i + 1 >= raw.size()) {
        out += c;
        continue;
      }
      const char next = raw[i + 1];
      if (IsDigit(next)) {
        unsigned value = 0;
        size_t digits = 0;
        while (digits < 3 && i + 1 + digits < raw.size() && IsDigit(raw[i + 1 + digits])) {
          value = value * 8 + static_cast<unsigned>(raw[i + 1 + digits] - '0');
          ++digits;
        }
        out += static_cast<char>(value & 0xFF);
        i += digits;
        continue;
      }
      ++i;
      switch (next) {
        case '\n': break;
        case '\r':
          if (i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
          break;
        case '(': case ')': case '\\': out += next; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        default:
          out += '\\';
          out += next;
      }
    }
    return out;
  }

  TPDFObject* ParseHexString() {
    const size_t start = ++pos_;
    const size_t close = text_.find('>', start);
    const size_t end = close == std::string_view::npos ? text_.size() : close;
    std::string digits;
    for (char c : text_.substr(start, end - start))
      if (HexValue(c) >= 0) digits += c;
    if (digits.size() % 2 != 0) digits += '0';
    Bytes bytes;
    bytes.reserve(digits.size() / 2);
    for (size_t i = 0; i < digits.size(); i += 2)
      bytes += static_cast<char>(HexValue(digits[i]) * 16 + HexValue(digits[i + 1]));
    pos_ = close == std::string_view::npos ? text_.size() : close + 1;
    return owner_.NewString(std::move(bytes), TextMode::Hexadecimal);
  }

  TPDFObject* ParseName() {
    const size_t start = ++pos_;
    while (!AtEnd() && !IsWhitespace(text_[pos_]) && !IsDelimiter(text_[pos_])) ++pos_;
    std::string_view raw = text_.substr(start, pos_ - start);
    Bytes name;
    name.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] == '#' && i + 2 < raw.size() && HexValue(raw[i + 1]) >= 0 && HexValue(raw[i + 2]) >= 0) {
        name += static_cast<char>(HexValue(raw[i + 1]) * 16 + HexValue(raw[i + 2]));
        i += 2;
      } else {
        name += raw[i];
      }
    }
    return owner_.NewName(std::move(name));
  }

  TPDFStructure& owner_;
  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace

ParseResult TPDFStructure::ParseObject(std::string_view text) { return Parser(*this, text).Run(); }

}  // namespace pdf
