#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "platform/uConst.h"

using platform::Texts;

namespace {

// "https://<host>.example/..." with nothing but letters, digits, dots and dashes in the host.
bool IsReservedAddress(const std::string& address) {
  const std::string scheme = "https://";
  if (address.rfind(scheme, 0) != 0) return false;
  const size_t slash = address.find('/', scheme.size());
  if (slash == std::string::npos) return false;
  const std::string host = address.substr(scheme.size(), slash - scheme.size());
  const std::string tld = ".example";
  return host.size() > tld.size() && host.compare(host.size() - tld.size(), tld.size(), tld) == 0 &&
         std::all_of(host.begin(), host.end(), [](unsigned char c) { return std::isalnum(c) || c == '.' || c == '-'; });
}

}  // namespace

TEST(BuiltInTexts, AddressesNeverReachARealHost) {
  for (const std::string* address : {&Texts().productWebPage, &Texts().donationPage, &Texts().versionServiceAddress,
                                     &Texts().bannerServiceAddress, &Texts().proxyProbeAddress}) {
    EXPECT_TRUE(IsReservedAddress(*address)) << *address;
  }
  EXPECT_FALSE(IsReservedAddress("https://example.com/"));
  EXPECT_FALSE(IsReservedAddress("https://evil.com/.example/"));
}

TEST(BuiltInTexts, VersionIsADecimalNumberAndNamesAreSet) {
  const std::string& version = Texts().productVersion;
  const size_t dot = version.find('.');
  ASSERT_NE(dot, std::string::npos);
  EXPECT_TRUE(dot > 0 && dot + 1 < version.size());
  EXPECT_TRUE(std::all_of(version.begin(), version.end(), [](unsigned char c) { return std::isdigit(c) || c == '.'; }));
  EXPECT_EQ(Texts().productName, "Lumenfold");
  EXPECT_FALSE(Texts().makerName.empty());
  EXPECT_FALSE(Texts().tempSubFolder.empty());
  EXPECT_EQ(Texts().tempSubFolder.find('/'), std::string::npos);
}
