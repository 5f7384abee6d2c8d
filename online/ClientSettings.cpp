#include "online/ClientSettings.h"

#include "platform/uConst.h"

namespace online {

HttpSettings SharedHttpClientSettings() {
  HttpSettings settings;
  settings.connectTimeout = std::chrono::milliseconds(12000);
  settings.readTimeout = std::chrono::milliseconds(12000);
  settings.connectionHeader = platform::Texts().connectionHeader;
  settings.userAgent = platform::Texts().userAgent;
  return settings;
}

HttpSettings VersionCheckClientSettings() {
  HttpSettings settings;
  settings.connectTimeout = std::chrono::milliseconds(8000);
  settings.readTimeout = std::chrono::milliseconds(8000);
  settings.connectionHeader = "Keep-Alive";
  settings.userAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";
  return settings;
}

std::unique_ptr<THttpClient> CreateSharedHttpClient(const ProxyLookup& lookup) {
  auto client = std::make_unique<THttpClient>(SharedHttpClientSettings());
  try {
    ApplySystemProxy(*client, lookup);
  } catch (const HttpError&) {
    // At start-up a proxy that cannot be used is no reason to report anything; each exchange
    // applies the proxy again and logs the failure there.
  }
  return client;
}

}  // namespace online
