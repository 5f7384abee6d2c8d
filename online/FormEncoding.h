// Text encodings of the online services: HTML form bodies, URL-encoding of a request line and
// the Base64 replies.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace online {

// HTML form encoding of one name or value: letters, digits and "*-._" stay, a blank becomes
// "+", every other byte "%" and two upper-case hexadecimal digits.
std::string FormEncodeComponent(std::string_view text);

// The lines ("name=value", split at the first "="), form-encoded and joined by "&" in order.
// A line without "=" is a name with an empty value.
std::string EncodeForm(const std::vector<std::string>& lines);

// URL-encoding of a whole text: blanks, control characters, bytes outside printable ASCII and
// characters unsafe in addresses become "%XX"; "%" followed by two hexadecimal digits stays.
std::string UrlEncode(std::string_view text);

// RFC 4648 Base64 with "+" and "/"; characters outside the alphabet (line breaks, blanks) are
// skipped and "=" ends the data. The bytes are answered as they are.
std::string DecodeBase64(std::string_view text);

}  // namespace online
