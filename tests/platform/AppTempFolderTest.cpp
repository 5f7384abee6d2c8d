#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/AppTempFolder.h"

namespace fs = std::filesystem;
using platform::PrepareTempFolder;

namespace {

class AppTempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() /
            (std::string("lumenfold-tempfolder-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(base_);
  }
  void TearDown() override { fs::remove_all(base_); }

  static mode_t Mode(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st.st_mode & 07777;
  }

  fs::path base_;
};

}  // namespace

TEST_F(AppTempFolderTest, CreatesPrivateFolderWithMissingParents) {
  const std::string folder = PrepareTempFolder((base_ / "deeper").string() + "/", "Sub", "Product");
  EXPECT_EQ(folder, (base_ / "deeper/Sub/Product/").string());
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(Mode(folder), 0700u);
  EXPECT_EQ(Mode((base_ / "deeper/Sub").string()), 0700u);
  EXPECT_EQ(PrepareTempFolder(base_ / "deeper", "Sub", "Product"), folder);  // again: same folder
}

TEST_F(AppTempFolderTest, TightensAnOpenFolderOfOurOwn) {
  fs::create_directories(base_ / "Sub/Product");
  fs::permissions(base_ / "Sub/Product", fs::perms(0755));
  EXPECT_EQ(PrepareTempFolder(base_, "Sub", "Product"), (base_ / "Sub/Product/").string());
  EXPECT_EQ(Mode((base_ / "Sub/Product").string()), 0700u);
}

TEST_F(AppTempFolderTest, RefusesFoldersThatAreNotOurs) {
  const struct {
    const char* what;
    void (*plant)(const fs::path& base);
  } cases[] = {
      {"symbolic link to a folder elsewhere",
       [](const fs::path& base) {
         fs::create_directories(base / "Sub");
         fs::create_directories(base / "elsewhere");
         fs::create_directory_symlink(base / "elsewhere", base / "Sub/Product");
       }},
      {"sub-folder that is a link",
       [](const fs::path& base) {
         fs::create_directories(base / "elsewhere/Product");
         fs::create_directory_symlink(base / "elsewhere", base / "Sub");
       }},
      {"folder owned by another user",
       [](const fs::path& base) {
         fs::create_directories(base / "Sub/Product");
         ASSERT_EQ(chown((base / "Sub/Product").c_str(), geteuid() + 1, getegid()), 0);
       }},
      {"plain file in the way", [](const fs::path& base) {
         fs::create_directories(base / "Sub");
         std::ofstream(base / "Sub/Product") << "x";
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(base_);
    fs::create_directories(base_);
    c.plant(base_);
    const std::string folder = PrepareTempFolder(base_, "Sub", "Product");
    EXPECT_EQ(fs::path(folder).parent_path().parent_path(), base_);  // directly below the base
    EXPECT_EQ(fs::path(folder).parent_path().filename().string().rfind("Product-", 0), 0u) << folder;
    EXPECT_EQ(Mode(folder), 0700u);
  }
}

TEST_F(AppTempFolderTest, UncreatableFolderStillGivesThePath) {
  EXPECT_EQ(PrepareTempFolder("/proc/lumenfold-cannot-exist", "Sub", "Product"),
            "/proc/lumenfold-cannot-exist/Sub/Product/");
}
