// Text forms of PDF values: numbers without a locale, name and string escapes.
#pragma once

#include <string>
#include <string_view>

namespace pdf {

// `value` rounded to `decimals` places, "." as the point, trailing zeros and a bare point
// dropped, "0" for negative values that round to zero and for values that are not finite.
std::string FormatNumber(double value, int decimals);

// "/" and the name's bytes, with delimiters, "#", and bytes outside 33..126 as "#XX".
void AppendName(std::string& out, std::string_view value);
// "(" ... ")" with backspace, tab, line feed, form feed, carriage return, "(", ")" and "\"
// escaped by a backslash; every other byte unchanged.
void AppendLiteralString(std::string& out, std::string_view value);
// "<" two upper-case hexadecimal digits per byte ">".
void AppendHexString(std::string& out, std::string_view value);

// Nearest integer with halves to the even neighbour, clamped to the 32-bit range (NaN gives 0).
int RoundHalfEven(double value);

}  // namespace pdf

namespace pdf {
// The parser's real conversion: digits, at most one ".", a "-" only in front, anything else
// 0; only the first nine decimals count ("3.14159265358979" gives 3.141592653).
double ParseRealToken(std::string_view text);
}  // namespace pdf
