#include "online/GetOfferBanner.h"

#include <QByteArray>
#include <cctype>
#include <charconv>

#include "online/FormEncoding.h"
#include "online/LocaleText.h"
#include "online/Md5.h"
#include "online/ReplyText.h"
#include "platform/uConst.h"

namespace online {

namespace {

int ParseId(const std::string& text) {
  int id = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
  if (text.empty() || error != std::errc() || end != text.data() + text.size())
    throw HttpError("'" + text + "' is not a valid integer value");
  return id;
}

void FetchPictures(THttpClient& client, TSmallBanners& banners, const OnlineHooks& hooks) {
  for (RecordSmallbanners& banner : banners) {
    banner.picture = QImage();
    if (!IsWebAddress(banner.imageAddress)) {
      hooks.Log("Banner picture address refused: " + banner.imageAddress);
      continue;
    }
    banner.picture = DecodeJpeg(client.Get(banner.imageAddress));
    if (banner.picture.isNull()) hooks.Log("Banner picture is no JPEG: " + banner.imageAddress);
  }
}

}  // namespace

bool AnyShowable(const TSmallBanners& banners) {
  for (const RecordSmallbanners& banner : banners)
    if (banner.Showable()) return true;
  return false;
}

bool IsWebAddress(const std::string& address) {
  auto startsWith = [&address](std::string_view scheme) {
    if (address.size() < scheme.size()) return false;
    for (std::size_t i = 0; i < scheme.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(address[i])) != scheme[i]) return false;
    return true;
  };
  return startsWith("http://") || startsWith("https://");
}

BannerFetchSetup BannerFetchSetup::Default() {
  BannerFetchSetup setup;
  setup.serviceAddress = platform::Texts().bannerServiceAddress;
  setup.country = GetLocaleText(LOCALE_SENGCOUNTRY, 0);
  setup.language = GetLocaleText(LOCALE_SENGLANGUAGE, 0);
  return setup;
}

std::vector<std::string> BannerRequestLines(const std::string& country, const std::string& language) {
  const platform::BuiltInTexts& t = platform::Texts();
  return {t.fieldProduct + t.requestValueA, t.fieldVersion + t.productVersion, t.fieldChannel + t.requestValueB,
          UrlEncode(t.fieldLocale + country + "," + language),
          t.fieldCheck + Md5Hex(t.requestValueA + t.requestValueB)};
}

std::vector<std::string> BannerFields(const std::string& reply) { return SplitPieces(NormaliseBannerReply(reply)); }

void UpdateBannerTable(TSmallBanners& banners, const std::vector<std::string>& fields) {
  banners.resize(fields.size() / 4);
  for (std::size_t i = 0; i < banners.size(); ++i) {
    RecordSmallbanners& banner = banners[i];
    const int id = ParseId(fields[4 * i]);
    if (banner.hasPicture && banner.id == id) continue;
    banner.id = id;
    banner.imageAddress = fields[4 * i + 1];
    banner.clickAddress = fields[4 * i + 2];
    banner.hint = fields[4 * i + 3];
    banner.hasPicture = true;
    banner.picture = QImage();
  }
}

QImage DecodeJpeg(const std::string& bytes) {
  // The decoder fills a cut-off picture with grey instead of failing, so a JPEG must also end
  // with its end-of-image marker.
  const bool framed = bytes.size() >= 4 && bytes.compare(0, 2, "\xFF\xD8") == 0 &&
                      bytes.compare(bytes.size() - 2, 2, "\xFF\xD9") == 0;
  if (!framed) return {};
  return QImage::fromData(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())), "JPEG");
}

void RunBannerFetch(const BannerFetchSetup& setup, THttpClient& client, TSmallBanners& banners,
                    const OnlineHooks& hooks) {
  const platform::BuiltInTexts& t = platform::Texts();
  hooks.Log(t.logLabelBannerCheck + "\r\n" + t.logLabelStarted + "  " + LogTimestamp());
  std::vector<std::string> fields;
  try {
    const std::vector<std::string> lines = BannerRequestLines(setup.country, setup.language);
    client.SetInterruptCheck(hooks.interrupted);
    client.CloseConnection();
    ApplySystemProxy(client, setup.proxyLookup);
    hooks.Log(setup.serviceAddress + "\r\n" + JoinLines(lines));
    const std::string reply = DecodeBase64(client.PostForm(setup.serviceAddress, lines));
    fields = BannerFields(reply);
    hooks.Log(t.logLabelReply + "\r\n" + NormaliseBannerReply(reply));
    if (fields.empty() || fields.size() % 4 != 0) return;
    UpdateBannerTable(banners, fields);
    client.CloseConnection();
    ApplySystemProxy(client, setup.proxyLookup);
    FetchPictures(client, banners, hooks);
    hooks.Log(t.logLabelBanners + "\r\n" + JoinLines(fields));
    if (hooks.interrupted && hooks.interrupted()) return;
    if (hooks.notify) hooks.notify(kNotifyBannersReady);
  } catch (const std::exception& error) {
    hooks.Log("\r\nServer response error: " + std::string(error.what()) + "\r\n" + t.logLabelBanners + "\r\n" +
              JoinLines(fields));
  }
}

TGetSmallBannerProcess::TGetSmallBannerProcess(BannerFetchSetup setup, THttpClient& client, TSmallBanners& banners,
                                               OnlineHooks hooks, QObject* parent)
    : TWorkerThread(parent), setup_(std::move(setup)), client_(client), banners_(banners), hooks_(std::move(hooks)) {
  if (!hooks_.interrupted) hooks_.interrupted = [this] { return isInterruptionRequested(); };
}

void TGetSmallBannerProcess::Work() {
  RunBannerFetch(setup_, client_, banners_, hooks_);
  client_.SetInterruptCheck({});
}

}  // namespace online
