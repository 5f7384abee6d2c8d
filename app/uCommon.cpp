#include "app/uCommon.h"

#include <fcntl.h>
#include <unistd.h>

#include <QMetaObject>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <memory>
#include <mutex>

#include "online/Md5.h"
#include "online/ReplyText.h"

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

long double ParseDecimal(const std::string& text) { return online::ParseDecimalText(text); }

std::string Md5Hex(const std::string& text) { return online::Md5Hex(text); }

}  // namespace app
