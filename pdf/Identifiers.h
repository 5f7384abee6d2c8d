// Digests and tags for document identifiers and resource names.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pdf {

using Md5Bytes = std::array<uint8_t, 16>;
// MD5 as RFC 1321 defines it.
Md5Bytes Md5Digest(std::string_view bytes);
std::string ToLowerHex(const uint8_t* bytes, size_t count);
// 8 lower-case hexadecimal digits from MD5 of a new GUID followed by the current time's text.
std::string UniqueTag();
// Decimal text left-padded with "0" to `width`; longer numbers whole; negatives give `width` zeros.
std::string ZeroPad(int64_t value, int width);

}  // namespace pdf
