// Only one copy of the program runs at a time: the first copy holds a lock file in the user's
// runtime folder until it ends. A lock left behind by a process that no longer exists is taken
// over; a running copy is never contacted.
#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace platform {

class SingleInstanceLock {
 public:
  // Tries to take the lock "<folder>/<name>.lock" at once, without waiting.
  SingleInstanceLock(const QString& name, const QString& folder);
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  // False when another live process holds the lock or the lock file cannot be made.
  bool Acquired() const { return acquired_; }

 private:
  std::unique_ptr<QLockFile> lock_;
  bool acquired_ = false;
};

// The user's runtime folder (XDG_RUNTIME_DIR), created when missing; the temporary folder when
// the platform has none.
QString UserRuntimeFolder();

}  // namespace platform
