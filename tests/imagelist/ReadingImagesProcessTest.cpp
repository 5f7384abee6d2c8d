#include "imagelist/ReadingImagesProcess.h"

#include <gtest/gtest.h>

#include <FreeImage.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "../conversion/TestFolder.h"
#include "conversion/FreeImageSupport.h"

namespace imagelist {
namespace {

using testing_support::Fixture;
using testing_support::TestFolder;

constexpr int kScreenDpi = 96;

TEST(SizeTextTest, BytesKilobytesAndMegabytesRoundHalvesToEven) {
  const std::pair<uint64_t, const char*> cases[] = {
      {0, "0"},          {1023, "1023"},       {1024, "1 KB"},     {1536, "2 KB"},
      {2560, "2 KB"},    {1048575, "1024 KB"}, {1048576, "1 MB"},  {1572864, "2 MB"},
      {2621440, "2 MB"}, {3670016, "4 MB"},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(SizeText(bytes), text) << bytes;
}

TEST(DpiTextTest, EqualResolutionsOneNumberZeroTheScreens) {
  EXPECT_EQ(DpiText(2835, 2835, kScreenDpi), "72");
  EXPECT_EQ(DpiText(0, 0, kScreenDpi), "96");
  EXPECT_EQ(DpiText(11811, 5906, kScreenDpi), "300 x 150");
  EXPECT_EQ(DpiText(0, 2835, kScreenDpi), "0 x 72");  // only two equal zeros mean "none"
}

struct Expected {
  const char* file;
  const char* format;
  const char* dimensions;
  const char* dpi;
};

// Both read modes show the same for every sound file; only the work behind it differs.
TEST(ReadImagePropertiesTest, SoundFilesReadTheSameInBothModes) {
  const Expected cases[] = {
      {"bmp24_300dpi.bmp", "BMP", "64 x 48", "300"}, {"jpeg_rgb.jpg", "JPEG", "64 x 48", nullptr},
      {"gif_animated.gif", "GIF", "64 x 48", nullptr}, {"jp2_rgb.jp2", "JPG2K", "64 x 48", nullptr},
      {"pcx24.pcx", "PCX", "64 x 48", nullptr},        {"png24.png", "PNG", "64 x 48", nullptr},
      {"psd_rgb.psd", "PSD", "64 x 48", nullptr},      {"png_named.jpg", "PNG", "64 x 48", nullptr},
  };
  for (const Expected& expected : cases) {
    const ImageProperties header = ReadImageProperties(Fixture(expected.file), kScreenDpi, ReadMode::HeaderOnly);
    const ImageProperties full = ReadImageProperties(Fixture(expected.file), kScreenDpi, ReadMode::FullDecode);
    EXPECT_FALSE(header.unreadable) << expected.file << ": " << header.error;
    EXPECT_EQ(header.format, expected.format) << expected.file;
    EXPECT_EQ(header.dimensions, expected.dimensions) << expected.file;
    if (expected.dpi != nullptr) {
      EXPECT_EQ(header.dpi, expected.dpi) << expected.file;
    }
    EXPECT_EQ(full.unreadable, header.unreadable) << expected.file;
    EXPECT_EQ(full.format, header.format) << expected.file;
    EXPECT_EQ(full.dimensions, header.dimensions) << expected.file;
    EXPECT_EQ(full.dpi, header.dpi) << expected.file;
  }
}

// Another format under a supported name, or a header claiming more pixels than the converter
// takes, is refused before any decoder runs (under the sanitizers a decode would show).
TEST(ReadImagePropertiesTest, ForeignOrOversizedFilesAreUnreadable) {
  for (const char* file : {"tiff_named.png", "huge_claim_60000.bmp", "huge_claim_60000.gif", "README.md"}) {
    const ImageProperties properties = ReadImageProperties(Fixture(file), kScreenDpi, ReadMode::FullDecode);
    EXPECT_TRUE(properties.unreadable) << file;
    EXPECT_EQ(properties.format, "?") << file;
    EXPECT_EQ(properties.dimensions, "-") << file;
    EXPECT_EQ(properties.dpi, "-") << file;
    EXPECT_FALSE(properties.error.empty()) << file;
  }
}

void SaveJpeg(const std::string& path, unsigned dpmX, unsigned dpmY) {
  const conversion::BitmapPtr bitmap(FreeImage_Allocate(8, 8, 24));
  ASSERT_TRUE(bitmap);
  FreeImage_SetDotsPerMeterX(bitmap.get(), dpmX);
  FreeImage_SetDotsPerMeterY(bitmap.get(), dpmY);
  ASSERT_TRUE(FreeImage_Save(FIF_JPEG, bitmap.get(), path.c_str(), 0));
}

TEST(ReadImagePropertiesTest, JpegResolutionsAsDeclared) {
  TestFolder folder;
  SaveJpeg(folder / "72.jpg", 2835, 2835);
  SaveJpeg(folder / "none.jpg", 0, 0);
  SaveJpeg(folder / "300x150.jpg", 11811, 5906);
  EXPECT_EQ(ReadImageProperties(folder / "72.jpg", kScreenDpi, ReadMode::HeaderOnly).dpi, "72");
  EXPECT_EQ(ReadImageProperties(folder / "none.jpg", kScreenDpi, ReadMode::HeaderOnly).dpi, "96");
  EXPECT_EQ(ReadImageProperties(folder / "300x150.jpg", kScreenDpi, ReadMode::HeaderOnly).dpi, "300 x 150");
}

// What the full decode buys: a PNG whose header is sound but whose pixel data is damaged is
// unreadable at once, where the header-only read lists it and the conversion marks it Failed.
TEST(ReadImagePropertiesTest, FullDecodeCatchesDamagedPixelData) {
  TestFolder folder;
  std::ifstream in(Fixture("png24.png"), std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 16; ++i) bytes[i] = static_cast<char>(~bytes[i]);
  std::ofstream(folder / "damaged.png", std::ios::binary) << bytes;
  EXPECT_FALSE(ReadImageProperties(folder / "damaged.png", kScreenDpi, ReadMode::HeaderOnly).unreadable);
  const ImageProperties full = ReadImageProperties(folder / "damaged.png", kScreenDpi, ReadMode::FullDecode);
  EXPECT_TRUE(full.unreadable);
  EXPECT_EQ(full.format, "?");
}

}  // namespace
}  // namespace imagelist
