#include "pdf/PdfDate.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace pdf {

namespace {

std::string ZonePart(int offsetMinutes) {
  if (offsetMinutes == 0) return "Z";
  const int magnitude = std::abs(offsetMinutes);
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%c%02d'%02d'", offsetMinutes > 0 ? '+' : '-', magnitude / 60,
                magnitude % 60);
  return buffer;
}

// Reads a PDF date left to right: "D:", YYYY, then optionally MM, DD, HH, mm, SS, each only
// after the one before, then an optional zone: "Z" (some writers add 00'00'), or a sign,
// hours and optional minutes, apostrophes optional.
class PdfDateReader {
 public:
  explicit PdfDateReader(std::string_view text) : text_(text) {}

  bool Digits(std::string& out) {
    if (pos_ + 2 > text_.size() || !IsDigit(text_[pos_]) || !IsDigit(text_[pos_ + 1])) return false;
    out = text_.substr(pos_, 2);
    pos_ += 2;
    return true;
  }
  bool Year(std::string& out) {
    std::string high, low;
    if (!Digits(high) || !Digits(low)) return false;
    out = high + low;
    return true;
  }
  bool Take(char c) {
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  // The rest of a "Z" zone: only zeros and apostrophes may follow.
  bool OnlyZerosLeft() const { return text_.find_first_not_of("0'", pos_) == std::string_view::npos; }
  bool AtEnd() const { return pos_ == text_.size(); }

 private:
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
  std::string_view text_;
  size_t pos_ = 2;  // past "D:"
};

// The zone in XMP form ("Z", "+05:30", "" when there is none), or none when the rest of the
// text is no zone.
std::optional<std::string> TimeZoneOf(PdfDateReader& reader) {
  if (reader.Take('Z')) return reader.OnlyZerosLeft() ? std::optional<std::string>("Z") : std::nullopt;
  const bool ahead = reader.Take('+');
  if (!ahead && !reader.Take('-')) return reader.AtEnd() ? std::optional<std::string>("") : std::nullopt;
  std::string hours, minutes = "00";
  if (!reader.Digits(hours)) return std::nullopt;
  reader.Take('\'');
  if (reader.Digits(minutes)) reader.Take('\'');
  if (!reader.AtEnd()) return std::nullopt;
  return (ahead ? "+" : "-") + hours + ":" + minutes;
}

}  // namespace

std::string FormatPdfDate(const LocalDateTime& t) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "D:%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return buffer + ZonePart(t.utcOffsetMinutes);
}

std::string PdfDateNow() { return FormatPdfDate(NowLocal()); }

// The full form PdfDateNow makes is rearranged exactly as by character positions; shorter
// PDF dates keep the parts they have, and a zone is written only after a time, as XMP wants.
std::u16string ToXmpDate(std::u16string_view text) {
  if (text.substr(0, 2) != u"D:") return std::u16string(text);
  std::string ascii;
  for (const char16_t ch : text) {
    if (ch > 0x7F) return std::u16string(text);
    ascii.push_back(static_cast<char>(ch));
  }
  PdfDateReader reader(ascii);
  std::string year, month, day, hour, minute, second;
  if (!reader.Year(year)) return std::u16string(text);
  std::string xmp = year;
  if (reader.Digits(month)) {
    xmp += "-" + month;
    if (reader.Digits(day)) {
      xmp += "-" + day;
      if (reader.Digits(hour)) {
        xmp += "T" + hour + ":" + (reader.Digits(minute) ? minute : std::string("00"));
        if (!minute.empty() && reader.Digits(second)) xmp += ":" + second;
      }
    }
  }
  const std::optional<std::string> zone = TimeZoneOf(reader);
  if (!zone) return std::u16string(text);
  if (!hour.empty()) xmp += *zone;
  return std::u16string(xmp.begin(), xmp.end());
}

}  // namespace pdf
