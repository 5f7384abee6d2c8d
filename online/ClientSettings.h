// The settings of the two HTTP clients: the shared one of the banner worker, made once at
// start-up, and the one each version check makes for itself.
#pragma once

#include <memory>

#include "online/HttpClient.h"
#include "online/ProxyInfo.h"

namespace online {

HttpSettings SharedHttpClientSettings();
HttpSettings VersionCheckClientSettings();

// The shared client with the system's proxy; a proxy that cannot be applied leaves it direct.
std::unique_ptr<THttpClient> CreateSharedHttpClient(const ProxyLookup& lookup = GetProxyInfo);

}  // namespace online
