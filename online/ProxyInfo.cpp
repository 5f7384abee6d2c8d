#include "online/ProxyInfo.h"

#include <proxy.h>

#include <charconv>
#include <cstdlib>
#include <memory>

#include "platform/uConst.h"

namespace online {

namespace {

struct FactoryDeleter {
  void operator()(pxProxyFactory* factory) const { px_proxy_factory_free(factory); }
};
struct ProxiesDeleter {
  void operator()(char** proxies) const { px_proxy_factory_free_proxies(proxies); }
};

constexpr std::uint32_t kDiscoveryFailed = 12180;  // ERROR_WINHTTP_AUTODETECTION_FAILED

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// libproxy ignores a proxy variable without a scheme ("host:8080"), which curl and most tools
// accept; such a value is taken as an HTTP proxy. With a bypass list set, libproxy's direct
// answer may come from that list, so it stands.
std::string SchemeLessEnvironmentProxy(const std::string& address) {
  if (!Environment("no_proxy").empty() || !Environment("NO_PROXY").empty()) return {};
  std::string value;
  if (address.rfind("https:", 0) == 0) value = Environment("https_proxy");
  if (value.empty() && address.rfind("https:", 0) == 0) value = Environment("HTTPS_PROXY");
  if (value.empty()) value = Environment("http_proxy");
  if (value.empty()) value = Environment("HTTP_PROXY");
  if (value.empty() || value.find("://") != std::string::npos) return {};
  return value;
}

}  // namespace

std::string ProxyTextFromResolved(const std::vector<std::string>& proxies) {
  if (proxies.empty()) return {};
  std::string proxy = proxies.front();
  if (proxy.rfind("direct://", 0) == 0) return {};
  const std::string scheme = "http://";
  if (proxy.rfind(scheme, 0) != 0) return proxy;
  proxy.erase(0, scheme.size());
  if (const auto at = proxy.rfind('@'); at != std::string::npos) proxy.erase(0, at + 1);
  if (const auto slash = proxy.find('/'); slash != std::string::npos) proxy.erase(slash);
  return proxy;
}

std::uint32_t GetProxyInfo(const std::string& address, TProxyInfo& info) {
  info = TProxyInfo{};
  const std::unique_ptr<pxProxyFactory, FactoryDeleter> factory(px_proxy_factory_new());
  if (!factory) return kDiscoveryFailed;
  const std::unique_ptr<char*, ProxiesDeleter> proxies(px_proxy_factory_get_proxies(factory.get(), address.c_str()));
  if (!proxies) return kDiscoveryFailed;
  std::vector<std::string> list;
  for (char** entry = proxies.get(); *entry != nullptr; ++entry) list.emplace_back(*entry);
  info.proxyList = ProxyTextFromResolved(list);
  if (info.proxyList.empty()) info.proxyList = SchemeLessEnvironmentProxy(address);
  return 0;
}

ProxySettings ParseProxyText(const std::string& text) {
  const std::size_t colon = text.find(':');
  ProxySettings proxy;
  proxy.host = text.substr(0, colon);
  const std::string portText = colon == std::string::npos ? std::string() : text.substr(colon + 1);
  int port = 0;
  const auto [end, error] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
  if (portText.empty() || error != std::errc() || end != portText.data() + portText.size() || port < 1 ||
      port > 65535)
    throw HttpError("'" + portText + "' is not a valid integer value");
  proxy.port = port;
  return proxy;
}

void ApplySystemProxy(THttpClient& client, const ProxyLookup& lookup) {
  client.ClearProxy();
  TProxyInfo info;
  if (lookup(platform::Texts().proxyProbeAddress, info) != 0 || info.proxyList.empty()) return;
  ProxySettings proxy = ParseProxyText(info.proxyList);
  client.SetProxy(std::move(proxy.host), proxy.port);
}

}  // namespace online
