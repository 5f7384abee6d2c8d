#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QUrl>
#include <memory>

#include "platform/ShellOpen.h"
#include "platform/SingleInstance.h"

namespace platform {
namespace {

TEST(SingleInstanceLockTest, SecondHolderIsRefusedUntilTheFirstEnds) {
  QTemporaryDir folder;
  auto first = std::make_unique<SingleInstanceLock>("Lumenfold", folder.path());
  ASSERT_TRUE(first->Acquired());
  EXPECT_FALSE(SingleInstanceLock("Lumenfold", folder.path()).Acquired());
  EXPECT_TRUE(SingleInstanceLock("Other", folder.path()).Acquired());
  first.reset();
  EXPECT_TRUE(SingleInstanceLock("Lumenfold", folder.path()).Acquired());
}

TEST(SingleInstanceLockTest, LockOfADeadProcessIsTakenOver) {
  QTemporaryDir folder;
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    // Dies holding the lock, as a crashed copy would: _exit skips the destructor.
    auto* lock = new SingleInstanceLock("Lumenfold", folder.path());
    _exit(lock->Acquired() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(SingleInstanceLock("Lumenfold", folder.path()).Acquired());
}

TEST(SingleInstanceLockTest, FolderThatCannotExistRefuses) {
  EXPECT_FALSE(SingleInstanceLock("Lumenfold", "/proc/no-such-folder/x").Acquired());
}

TEST(ShellTargetTest, AddressesStayAddressesAndPathsBecomeFileUrls) {
  const std::pair<std::string, QString> cases[] = {
      {"https://lumenfold.example/", "https://lumenfold.example/"},
      {"mailto:a@example.org", "mailto:a@example.org"},
      {"/home/u/out.pdf", "file:///home/u/out.pdf"},
      {"/home/u/a b#1.pdf", "file:///home/u/a%20b%231.pdf"},
      {"/tmp/x:y.pdf", "file:///tmp/x:y.pdf"},
  };
  for (const auto& [target, url] : cases) EXPECT_EQ(ShellTarget(target).toString(QUrl::FullyEncoded), url) << target;
}

}  // namespace
}  // namespace platform
