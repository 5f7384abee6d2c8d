// MD5 text of the request check field.
#pragma once

#include <string>

namespace online {

// MD5 of the text's bytes as 32 lower-case hexadecimal digits. Kept here so that the online
// library needs nothing from the window layer.
std::string Md5Hex(const std::string& text);

}  // namespace online
