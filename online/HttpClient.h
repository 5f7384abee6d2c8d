// The HTTP client of the online services: form POST and GET into memory over HTTP 1.1 with
// time-outs, followed redirects, an optional HTTP proxy and TLS 1.2 with verified certificates.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace online {

// Every failure of an exchange: connection, time-out, HTTP error status, TLS, size bound.
class HttpError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct HttpSettings {
  std::chrono::milliseconds connectTimeout{12000};
  // Longest wait for the next bytes once connected.
  std::chrono::milliseconds readTimeout{12000};
  std::string connectionHeader;
  std::string userAgent;
  // Certificates to trust instead of the system's store; tests name the one they made.
  std::string caFile;
  // Replies of the maker's services are small; anything larger is refused, not buffered.
  std::size_t maxBodySize = 4 * 1024 * 1024;
  // Indy's default redirect limit.
  long maxRedirects = 15;
};

struct ProxySettings {
  std::string host;  // empty: direct connection
  int port = 0;
  std::string user;
  std::string password;
};

class THttpClient {
 public:
  explicit THttpClient(HttpSettings settings);
  ~THttpClient();
  THttpClient(const THttpClient&) = delete;
  THttpClient& operator=(const THttpClient&) = delete;

  const HttpSettings& Settings() const { return settings_; }
  const ProxySettings& Proxy() const { return proxy_; }
  // Host and port of an HTTP proxy; the credentials are emptied.
  void SetProxy(std::string host, int port);
  void ClearProxy();

  // Drops the kept-alive connection, so that the next exchange connects afresh.
  void CloseConnection();

  // Sends the lines ("name=value") as an HTML form and answers the reply body.
  std::string PostForm(const std::string& url, const std::vector<std::string>& lines);
  // Answers the body of the address's reply.
  std::string Get(const std::string& url);

  // Asked while waiting for the network; true abandons the exchange with an HttpError. Lets
  // a closing window stop a worker without waiting for the time-outs.
  void SetInterruptCheck(std::function<bool()> interrupted);

 private:
  struct CurlDeleter {
    void operator()(void* handle) const;
  };
  using CurlHandle = std::unique_ptr<void, CurlDeleter>;

  std::string Perform(const std::string& url, const std::string* formBody);

  HttpSettings settings_;
  ProxySettings proxy_;
  CurlHandle handle_;
  std::function<bool()> interrupted_;
};

}  // namespace online
