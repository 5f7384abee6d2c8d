#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "conversion/ScanFolder.h"
#include "TestFolder.h"

using namespace conversion;
using testing_support::TestFolder;
using testing_support::WriteAll;

namespace {

std::vector<std::string> Names(const std::vector<std::string>& paths) {
  std::vector<std::string> names;
  for (const auto& p : paths) names.push_back(std::filesystem::path(p).filename().string());
  return names;
}

}  // namespace

TEST(ScanFolder, GroupsByExtensionThenNaturalNameOrder) {
  TestFolder folder;
  for (const char* name : {"b.png", "a.jpg", "c.bmp", "scan10.jpg", "scan2.jpg", "Scan1.JPG", "x.jpeg",
                           "photo.psd", "page.pcx", "art.jp2", "anim.gif", "scan02.jpg"}) {
    WriteAll(folder / name, "x");
  }
  EXPECT_EQ(Names(ScanFolder(folder.Path().string())),
            (std::vector<std::string>{"c.bmp", "anim.gif", "a.jpg", "Scan1.JPG", "scan02.jpg", "scan2.jpg",
                                      "scan10.jpg", "x.jpeg", "art.jp2", "page.pcx", "b.png", "photo.psd"}));
}

TEST(ScanFolder, TakesOnlyPlainVisibleFilesOfThisFolder) {
  TestFolder folder;
  WriteAll(folder / "keep.png", "x");
  WriteAll(folder / ".hidden.png", "x");
  WriteAll(folder / "notes.txt", "x");
  WriteAll(folder / "noextension", "x");
  std::filesystem::create_directories(folder / "folder.png");
  std::filesystem::create_directories(folder / "sub");
  WriteAll(folder / "sub/deep.png", "x");

  EXPECT_EQ(ScanFolder(folder.Path().string()), std::vector<std::string>{folder / "keep.png"});
  EXPECT_EQ(ScanFolder(folder.Slash()), std::vector<std::string>{folder / "keep.png"});  // no doubled "/"
  EXPECT_TRUE(ScanFolder(folder / "sub-that-does-not-exist").empty());
}

TEST(ScanFolder, NaturalOrderComparesDigitRunsByValue) {
  std::vector<std::string> names = {"img10", "img9", "img009b", "IMG1", "img", "img99999999999999999999",
                                    "img100000000000000000000", "a2b10", "a2b9"};
  std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return NaturalLess(a, b); });
  EXPECT_EQ(names, (std::vector<std::string>{"a2b9", "a2b10", "img", "IMG1", "img9", "img009b", "img10",
                                             "img99999999999999999999", "img100000000000000000000"}));
}

TEST(ScanFolder, RecognisesSupportedExtensionsInAnyCase) {
  EXPECT_TRUE(HasSupportedExtension("/a/b/Photo.JPEG"));
  EXPECT_TRUE(HasSupportedExtension("x.Jp2"));
  EXPECT_FALSE(HasSupportedExtension("x.tiff"));
  EXPECT_FALSE(HasSupportedExtension("/a.png/readme"));
  EXPECT_FALSE(HasSupportedExtension("png"));
}
