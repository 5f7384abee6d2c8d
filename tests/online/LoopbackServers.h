// Servers on 127.0.0.1 for the online tests: cpp-httplib for HTTP and HTTPS with a certificate
// made for the test run, and a raw socket server for peers that misbehave below HTTP.
#pragma once

#include <httplib.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "online/HttpClient.h"
#include "online/ProxyInfo.h"

namespace online::test {

// A self-signed certificate for 127.0.0.1, made with the openssl tool in a private folder.
class TestCertificate {
 public:
  TestCertificate();
  ~TestCertificate();
  TestCertificate(const TestCertificate&) = delete;
  TestCertificate& operator=(const TestCertificate&) = delete;

  std::string CertFile() const { return (folder_ / "cert.pem").string(); }
  std::string KeyFile() const { return (folder_ / "key.pem").string(); }

 private:
  std::filesystem::path folder_;
};

// Runs the server on its own thread from construction until destruction.
class LoopbackHttp {
 public:
  // Plain HTTP.
  LoopbackHttp();
  // HTTPS with the given certificate.
  explicit LoopbackHttp(const TestCertificate& certificate);
  ~LoopbackHttp();
  LoopbackHttp(const LoopbackHttp&) = delete;
  LoopbackHttp& operator=(const LoopbackHttp&) = delete;

  httplib::Server& Server() { return *server_; }
  void Start();  // after the handlers were set
  int Port() const { return port_; }
  std::string Address(const std::string& path) const;

 private:
  std::unique_ptr<httplib::Server> server_;
  bool secure_ = false;
  int port_ = 0;
  std::thread thread_;
};

// Accepts connections and either keeps silent or sends fixed bytes and closes.
class RawServer {
 public:
  enum class Mode { Silent, SendAndClose };
  RawServer(Mode mode, std::string bytes = {});
  ~RawServer();
  RawServer(const RawServer&) = delete;
  RawServer& operator=(const RawServer&) = delete;

  int Port() const { return port_; }
  std::string Address(const std::string& path) const;

 private:
  void Serve();

  Mode mode_;
  std::string bytes_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

// The certificate of this test run, made once and trusted by LoopbackSettings.
const TestCertificate& SharedCertificate();

// Time-outs short enough for tests on loopback, trusting the test certificate.
HttpSettings LoopbackSettings();
// For the services that never answer: give up soon.
HttpSettings ImpatientSettings();

// A proxy lookup that always answers "go direct".
std::uint32_t NoProxy(const std::string& address, TProxyInfo& info);

// Base64 of a text, for the services' replies.
std::string Base64(const std::string& text);

// A small valid JPEG of the given size.
std::string MakeJpeg(int width, int height);

}  // namespace online::test
