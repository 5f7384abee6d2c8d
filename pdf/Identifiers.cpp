#include "pdf/Identifiers.h"

#include <openssl/evp.h>

#include <algorithm>
#include <memory>

#include "pdf/Clock.h"

namespace pdf {

Md5Bytes Md5Digest(std::string_view bytes) {
  Md5Bytes digest{};
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  unsigned int length = 0;
  if (context && EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) == 1 &&
      EVP_DigestUpdate(context.get(), bytes.data(), bytes.size()) == 1)
    EVP_DigestFinal_ex(context.get(), digest.data(), &length);
  return digest;
}

std::string ToLowerHex(const uint8_t* bytes, size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(count * 2);
  for (size_t i = 0; i < count; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
  }
  return text;
}

std::string UniqueTag() {
  const GuidBytes guid = NewGuidBytes();
  std::string input(reinterpret_cast<const char*>(guid.data()), guid.size());
  input += DateTimeSerialText(NowLocal());
  const Md5Bytes digest = Md5Digest(input);
  return ToLowerHex(digest.data(), digest.size()).substr(0, 8);
}

std::string ZeroPad(int64_t value, int width) {
  if (value < 0) return std::string(static_cast<size_t>(std::max(width, 0)), '0');
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<size_t>(width) - text.size(), '0');
  return text;
}

}  // namespace pdf
