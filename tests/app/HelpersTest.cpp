#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "app/uCommon.h"

namespace app {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(IsFolderWritableTest, WritableFolderIsLeftUnchanged) {
  QTemporaryDir dir;
  const fs::path folder = dir.path().toStdString();
  std::ofstream(folder / "keep.jpg") << "x";
  EXPECT_TRUE(IsFolderWritable(folder.string()));
  EXPECT_TRUE(IsFolderWritable(folder.string() + "/"));
  EXPECT_EQ(Listing(folder), std::vector<std::string>{"keep.jpg"});
}

TEST(IsFolderWritableTest, RefusesAndLeavesNothingBehind) {
  EXPECT_FALSE(IsFolderWritable("/nonexistent-folder/deeper"));
  // procfs takes no new files, even from root.
  EXPECT_FALSE(IsFolderWritable("/proc"));
  EXPECT_FALSE(fs::exists("/proc/chk.tmp"));

  QTemporaryDir dir;
  const fs::path leftover = fs::path(dir.path().toStdString()) / "chk.tmp";
  std::ofstream(leftover) << "someone's";
  EXPECT_FALSE(IsFolderWritable(dir.path().toStdString()));
  std::ifstream in(leftover);
  std::string content;
  std::getline(in, content);
  EXPECT_EQ(content, "someone's");
}

// Builds a locale that writes decimals with a comma, when the system has none installed.
class CommaLocale {
 public:
  CommaLocale() {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) return;
    const std::string command = "localedef -i de_DE -f UTF-8 " + dir_.path().toStdString() + "/de_DE.UTF-8 >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return;
    setenv("LOCPATH", dir_.path().toLocal8Bit().constData(), 1);
    std::setlocale(LC_ALL, "de_DE.UTF-8");
  }
  ~CommaLocale() {
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
  }
  bool Active() const { return *std::localeconv()->decimal_point == ','; }

 private:
  QTemporaryDir dir_;
};

TEST(ParseDecimalTest, PointIsTheSeparatorUnderACommaLocale) {
  CommaLocale comma;
  if (!comma.Active()) GTEST_SKIP() << "no comma locale could be made";
  EXPECT_EQ(ParseDecimal("2.5"), 2.5L);
  EXPECT_THROW(ParseDecimal("2,5"), std::runtime_error);
}

TEST(ParseDecimalTest, AcceptsPlainDecimalsOnly) {
  const std::pair<const char*, long double> accepted[] = {
      {"2.5", 2.5}, {"10", 10}, {" 1.25 ", 1.25}, {"-0.5", -0.5}, {"+3", 3}, {".5", 0.5}, {"1e3", 1000}};
  for (const auto& [text, value] : accepted) EXPECT_EQ(ParseDecimal(text), value) << text;
  for (const char* text : {"", "   ", "abc", "1.2.3", "inf", "nan", "0x10", "2.5x", "1 000", "+-1"}) {
    try {
      ParseDecimal(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "strtofloat error");
    }
  }
}

TEST(Md5HexTest, KnownVectors) {
  // RFC 1321, appendix A.5.
  const std::pair<std::string, std::string> cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& [text, hex] : cases) EXPECT_EQ(Md5Hex(text), hex) << text;
}

}  // namespace
}  // namespace app
