// Reading the services' decoded replies: cutting into pieces, the version number and its
// comparison, the banner reply's separators.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace online {

// Cuts at every "|", CR and LF; empty pieces are dropped. A separator inside single or
// double quotes does not cut, and the quotes stay in the piece.
std::vector<std::string> SplitPieces(std::string_view text);

// A decimal number with "." as separator, whatever the user's locale; blanks around it, a
// sign and an exponent are allowed. Throws std::runtime_error("strtofloat error") otherwise.
long double ParseDecimalText(const std::string& text);

// The first piece of a version reply as a number; 0 when there is no piece, more than 255
// pieces, or the first piece is not a number.
long double LatestVersion(std::string_view reply);

// Whether the reply names a greater version than the running one, both rounded to 32-bit
// floats first, so "3.10" is older than "3.9".
bool IsNewerVersion(std::string_view reply, const std::string& productVersion);

// " | " becomes " - ", then ":|:" becomes "|".
std::string NormaliseBannerReply(std::string text);

// The local time as "yyyy.mm.dd hh.mm:ss", for the workers' start lines.
std::string LogTimestamp();

// Lines of a list text, each followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace online
