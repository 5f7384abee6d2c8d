#include "app/uCommon.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <QMetaObject>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <charconv>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace app {

namespace {

QPointer<QWidget>& NotifyTarget() {
  static QPointer<QWidget> window;
  return window;
}

struct LogState {
  std::mutex mutex;
  std::string lastLine;
};

LogState& Log() {
  static LogState state;
  return state;
}

[[noreturn]] void ConversionFailed() { throw std::runtime_error("strtofloat error"); }

}  // namespace

void SetNotifyWindow(QWidget* window) { NotifyTarget() = window; }

QWidget* NotifyWindow() { return NotifyTarget().data(); }

void SendNotify(int code) {
  QWidget* window = NotifyWindow();
  if (window == nullptr) return;
  const Qt::ConnectionType type =
      QThread::currentThread() == window->thread() ? Qt::DirectConnection : Qt::BlockingQueuedConnection;
  QMetaObject::invokeMethod(window, "Notify", type, Q_ARG(int, code));
}

void PostLog(const std::string& line) {
  {
    // Several workers may log at once; the lock keeps the line whole.
    std::lock_guard lock(Log().mutex);
    Log().lastLine = line;
  }
  SendNotify(1);
}

std::string LastLogLine() {
  std::lock_guard lock(Log().mutex);
  return Log().lastLine;
}

bool IsFolderWritable(const std::string& folder) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  path += "chk.tmp";
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(path.c_str());
  return true;
}

double ParseDecimal(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) ConversionFailed();
  const std::size_t last = text.find_last_not_of(" \t");
  std::string_view number(text.data() + first, last - first + 1);
  if (number.front() == '+') {
    number.remove_prefix(1);
    if (!number.empty() && number.front() == '-') ConversionFailed();
  }
  // Only digits, one sign, "." and an exponent: from_chars would also take "inf" and "nan".
  if (number.empty() || number.find_first_not_of("0123456789.eE+-") != std::string_view::npos) ConversionFailed();
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size()) ConversionFailed();
  return value;
}

std::string Md5Hex(const std::string& text) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(text.data(), text.size(), digest, &length, EVP_md5(), nullptr) != 1) return {};
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(2 * length);
  for (unsigned int i = 0; i < length; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 0x0f];
  }
  return hex;
}

}  // namespace app
