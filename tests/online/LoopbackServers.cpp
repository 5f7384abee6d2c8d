#include "LoopbackServers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QBuffer>
#include <QImage>
#include <chrono>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <vector>

namespace online::test {

const TestCertificate& SharedCertificate() {
  static const TestCertificate certificate;
  return certificate;
}

HttpSettings LoopbackSettings() {
  HttpSettings settings;
  settings.connectTimeout = std::chrono::milliseconds(1000);
  settings.readTimeout = std::chrono::milliseconds(5000);
  settings.caFile = SharedCertificate().CertFile();
  return settings;
}

HttpSettings ImpatientSettings() {
  HttpSettings settings = LoopbackSettings();
  settings.readTimeout = std::chrono::milliseconds(300);
  return settings;
}

std::uint32_t NoProxy(const std::string&, TProxyInfo& info) {
  info = TProxyInfo{};
  return 0;
}


namespace {

std::filesystem::path NewFolder() {
  std::random_device random;
  auto folder = std::filesystem::temp_directory_path() / ("lumenfold-online-" + std::to_string(random()));
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace

TestCertificate::TestCertificate() : folder_(NewFolder()) {
  const std::string command = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1"
                              " -addext subjectAltName=IP:127.0.0.1 -keyout '" +
                              KeyFile() + "' -out '" + CertFile() + "' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("openssl could not make a certificate");
}

TestCertificate::~TestCertificate() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

LoopbackHttp::LoopbackHttp() : server_(std::make_unique<httplib::Server>()) {}

LoopbackHttp::LoopbackHttp(const TestCertificate& certificate)
    : server_(std::make_unique<httplib::SSLServer>(certificate.CertFile().c_str(), certificate.KeyFile().c_str())),
      secure_(true) {}

void LoopbackHttp::Start() {
  server_->set_keep_alive_timeout(1);
  port_ = server_->bind_to_any_port("127.0.0.1");
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LoopbackHttp::~LoopbackHttp() {
  server_->stop();
  if (thread_.joinable()) thread_.join();
}

std::string LoopbackHttp::Address(const std::string& path) const {
  return std::string(secure_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + path;
}

RawServer::RawServer(Mode mode, std::string bytes) : mode_(mode), bytes_(std::move(bytes)) {
  listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listener_, 16) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("raw server could not listen");
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

RawServer::~RawServer() {
  stopping_ = true;
  thread_.join();
  ::close(listener_);
}

void RawServer::Serve() {
  std::vector<int> open;
  while (!stopping_) {
    pollfd wait{listener_, POLLIN, 0};
    if (::poll(&wait, 1, 20) <= 0) continue;
    const int peer = ::accept(listener_, nullptr, nullptr);
    if (peer < 0) continue;
    if (mode_ == Mode::Silent) {
      open.push_back(peer);  // kept open and unanswered until the server ends
      continue;
    }
    char request[4096];
    (void)::recv(peer, request, sizeof request, 0);
    (void)::send(peer, bytes_.data(), bytes_.size(), MSG_NOSIGNAL);
    ::close(peer);
  }
  for (const int peer : open) ::close(peer);
}

std::string RawServer::Address(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string Base64(const std::string& text) {
  const QByteArray encoded = QByteArray::fromStdString(text).toBase64();
  return encoded.toStdString();
}

std::string MakeJpeg(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::darkCyan);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPEG");
  return bytes.toStdString();
}

}  // namespace online::test
