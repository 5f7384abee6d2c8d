// The offer banners: the table of banners and the worker that fetches the list from the
// banner service and downloads the pictures.
#pragma once

#include <QImage>
#include <string>
#include <vector>

#include "online/HttpClient.h"
#include "online/OnlineHooks.h"
#include "online/ProxyInfo.h"
#include "platform/MainThreadCall.h"

namespace online {

struct RecordSmallbanners {
  int id = 0;
  std::string imageAddress;
  std::string clickAddress;
  std::string hint;
  // A record made or changed by a reply gets a picture to fill; the picture stays null when
  // its download gave no valid JPEG, and such a banner is never shown.
  bool hasPicture = false;
  QImage picture;

  bool Showable() const { return !picture.isNull(); }
};

using TSmallBanners = std::vector<RecordSmallbanners>;

bool AnyShowable(const TSmallBanners& banners);

// Only web addresses from a server are fetched or opened.
bool IsWebAddress(const std::string& address);

struct BannerFetchSetup {
  std::string serviceAddress;  // the built-in address; tests point it at loopback
  std::string country;         // English names of the user's country and language
  std::string language;
  ProxyLookup proxyLookup = GetProxyInfo;

  // The application's setup: built-in address and the user's locale.
  static BannerFetchSetup Default();
};

// The five request lines; line 4 (country "," language) is URL-encoded as a whole.
std::vector<std::string> BannerRequestLines(const std::string& country, const std::string& language);

// The fields of a decoded reply, after its separators were normalised.
std::vector<std::string> BannerFields(const std::string& reply);

// Sizes the table to the groups of four fields and takes over the records whose id changed
// (their pictures are emptied); throws HttpError for an id that is not an integer.
void UpdateBannerTable(TSmallBanners& banners, const std::vector<std::string>& fields);

// A JPEG picture from the bytes; null for anything that is not a valid JPEG.
QImage DecodeJpeg(const std::string& bytes);

// One fetch on the calling thread with the shared client; notifies code 3 after a complete
// download. Failures end in a "Server response error: " log line, and the table may then be
// partly updated.
void RunBannerFetch(const BannerFetchSetup& setup, THttpClient& client, TSmallBanners& banners,
                    const OnlineHooks& hooks);

class TGetSmallBannerProcess : public platform::TWorkerThread {
 public:
  // client and banners must outlive the thread, and no other thread may use them meanwhile.
  TGetSmallBannerProcess(BannerFetchSetup setup, THttpClient& client, TSmallBanners& banners, OnlineHooks hooks,
                         QObject* parent = nullptr);

 protected:
  void Work() override;

 private:
  BannerFetchSetup setup_;
  THttpClient& client_;
  TSmallBanners& banners_;
  OnlineHooks hooks_;
};

}  // namespace online
