#include "platform/SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace platform {

SingleInstanceLock::SingleInstanceLock(const QString& name, const QString& folder)
    : lock_(std::make_unique<QLockFile>(QDir(folder).filePath(name + QStringLiteral(".lock")))) {
  // Age alone must never make the lock stale: a copy may run for days. A lock whose process
  // has died is still recognised and taken over.
  lock_->setStaleLockTime(0);
  acquired_ = lock_->tryLock(0);
}

SingleInstanceLock::~SingleInstanceLock() = default;

QString UserRuntimeFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  QDir().mkpath(folder);
  return folder;
}

}  // namespace platform
