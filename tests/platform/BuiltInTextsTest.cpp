#include <gtest/gtest.h>

#include <regex>

#include "platform/uConst.h"

using platform::Texts;

TEST(BuiltInTexts, AddressesNeverReachARealHost) {
  const std::regex reserved(R"(https://[a-z.]+\.example/.*)");
  for (const std::string* address : {&Texts().productWebPage, &Texts().donationPage, &Texts().versionServiceAddress,
                                     &Texts().bannerServiceAddress, &Texts().proxyProbeAddress}) {
    EXPECT_TRUE(std::regex_match(*address, reserved)) << *address;
  }
}

TEST(BuiltInTexts, VersionIsADecimalNumberAndNamesAreSet) {
  EXPECT_TRUE(std::regex_match(Texts().productVersion, std::regex(R"(\d+\.\d+)")));
  EXPECT_EQ(Texts().productName, "Lumenfold");
  EXPECT_FALSE(Texts().makerName.empty());
  EXPECT_FALSE(Texts().tempSubFolder.empty());
  EXPECT_EQ(Texts().tempSubFolder.find('/'), std::string::npos);
}
