#include "platform/uConst.h"

namespace platform {

namespace {

BuiltInTexts Build() {
  BuiltInTexts t;
  t.productName = "Lumenfold";
  t.productVersion = "1.0";
  t.productWebPage = "https://www.lumenfold.example/";
  t.makerName = "Lumenfold Works";
  t.donationPage = "https://www.lumenfold.example/donate/";
  t.facebookShareSuffix = "#share-facebook";
  t.twitterShareSuffix = "#share-twitter";
  t.tempSubFolder = "LumenfoldTemp";

  t.versionServiceAddress = "https://service.lumenfold.example/version";
  t.bannerServiceAddress = "https://service.lumenfold.example/banners";
  t.proxyProbeAddress = "https://service.lumenfold.example/";

  t.fieldProduct = "app=";
  t.fieldVersion = "ver=";
  t.fieldCheck = "chk=";
  t.fieldChannel = "ch=";
  t.fieldLocale = "loc=";
  t.requestValueA = "lumenfold";
  t.requestValueB = "desktop";

  t.logLabelVersionCheck = "Version check";
  t.logLabelBannerCheck = "Banner check";
  t.logLabelStarted = "Started";
  t.logLabelRequest = "Request";
  t.logLabelReply = "Reply";
  t.logLabelBanners = "Banners";

  t.connectionHeader = "Keep-Alive";
  t.userAgent = "Lumenfold/1.0";
  return t;
}

}  // namespace

const BuiltInTexts& Texts() {
  static const BuiltInTexts texts = Build();
  return texts;
}

}  // namespace platform
