#include "app/uCommon.h"

#include <fcntl.h>
#include <unistd.h>

#include <QMetaObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <mutex>

#include "online/Md5.h"
#include "online/ReplyText.h"
#include "platform/MainThreadCall.h"

namespace app {

namespace {

struct NotifyState {
  QPointer<QWidget> window;
  // A child of the window, so it lives on the window's thread and goes with it.
  QPointer<platform::TOwnerThreadCall> call;
};

NotifyState& NotifyTarget() {
  static NotifyState state;
  return state;
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

void SetNotifyWindow(QWidget* window) {
  NotifyState& target = NotifyTarget();
  if (target.window == window) return;
  delete target.call.data();
  target.window = window;
  target.call = window != nullptr ? new platform::TOwnerThreadCall(window) : nullptr;
}

QWidget* NotifyWindow() { return NotifyTarget().window.data(); }

void SendNotify(int code) {
  const NotifyState& target = NotifyTarget();
  QWidget* window = target.window.data();
  platform::TOwnerThreadCall* call = target.call.data();
  if (window == nullptr || call == nullptr) return;
  // Through our own hand-over rather than a blocking queued call, whose argument would pass
  // between the threads where ThreadSanitizer cannot see it.
  call->Run([window, code] { QMetaObject::invokeMethod(window, "Notify", Qt::DirectConnection, Q_ARG(int, code)); });
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
