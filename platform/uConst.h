// The program's built-in texts: names, version and the addresses of the maker's services.
// They are built once, on first use, and are read-only afterwards.
#pragma once

#include <string>

namespace platform {

struct BuiltInTexts {
  std::string productName;
  std::string productVersion;  // a decimal number with "." as separator
  std::string productWebPage;
  std::string makerName;
  std::string donationPage;
  std::string facebookShareSuffix;
  std::string twitterShareSuffix;
  std::string tempSubFolder;

  std::string versionServiceAddress;
  std::string bannerServiceAddress;
  std::string proxyProbeAddress;

  // Form field names end with "=" so that a request line is the name followed by its value.
  std::string fieldProduct;  // line 1 of both requests
  std::string fieldVersion;  // line 2 of both requests
  std::string fieldCheck;    // last line of both requests
  std::string fieldChannel;  // banner request, line 3
  std::string fieldLocale;   // banner request, line 4
  std::string requestValueA;
  std::string requestValueB;

  std::string logLabelVersionCheck;
  std::string logLabelBannerCheck;
  std::string logLabelStarted;
  std::string logLabelRequest;
  std::string logLabelReply;
  std::string logLabelBanners;

  std::string connectionHeader;
  std::string userAgent;
};

// Every address lies under a reserved domain, so the program never reaches a real host.
const BuiltInTexts& Texts();

}  // namespace platform
