// The system's proxy for an address (desktop settings, environment, PAC through libproxy) and
// the routine that puts it into an HTTP client.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "online/HttpClient.h"

namespace online {

struct TProxyInfo {
  // "host:port" of the proxy to use; empty for a direct connection. A proxy of another kind
  // than HTTP is given as its whole address ("socks5://host:1080").
  std::string proxyList;
  std::string bypassList;  // libproxy applies the bypass rules itself; always empty
  bool foundByAutoProxy = false;
};

// 0 on success; otherwise a non-zero error number (the discovery could not run).
std::uint32_t GetProxyInfo(const std::string& address, TProxyInfo& info);

// The proxy text of libproxy's answer for an address: its first entry, without scheme and
// credentials when it is an HTTP proxy.
std::string ProxyTextFromResolved(const std::vector<std::string>& proxies);

// Host and port from a proxy text, split at the first ":"; throws HttpError when the part
// after it is not a port number (also when there is none).
ProxySettings ParseProxyText(const std::string& text);

using ProxyLookup = std::function<std::uint32_t(const std::string& address, TProxyInfo& info)>;

// Sets the client's proxy to the one the system prescribes for the probe address, or clears
// it. Throws HttpError for a proxy text whose port is no number; the client is then left
// connecting directly.
void ApplySystemProxy(THttpClient& client, const ProxyLookup& lookup = GetProxyInfo);

}  // namespace online
