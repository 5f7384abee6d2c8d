#include <gtest/gtest.h>

#include "conversion/ImageProbe.h"
#include "TestFolder.h"

using namespace conversion;
using testing_support::Fixture;
using testing_support::ReadAll;
using testing_support::TestFolder;
using testing_support::WriteAll;

TEST(ImageProbe, RecognisesEverySupportedFormatByContent) {
  const struct {
    const char* file;
    const char* format;
  } cases[] = {
      {"bmp24_300dpi.bmp", "BMP"},     {"gif_animated.gif", "GIF"},  {"jpeg_grey.jpg", "JPEG"},
      {"jpeg_rgb.jpg", "JPEG"},        {"jpeg_cmyk.jpg", "JPEG"},    {"jp2_rgb.jp2", "JPG2K"},
      {"pcx24.pcx", "PCX"},            {"png8_transparent.png", "PNG"}, {"png24.png", "PNG"},
      {"png32_alpha.png", "PNG"},      {"png16.png", "PNG"},         {"psd_rgb.psd", "PSD"},
      {"png_named.jpg", "PNG"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const ImageProbe probe = ProbeImage(Fixture(c.file));
    EXPECT_TRUE(probe.ok()) << probe.error;
    EXPECT_EQ(FormatText(probe.format), c.format);
    EXPECT_EQ(probe.width, 64u);
    EXPECT_EQ(probe.height, 48u);
  }
}

TEST(ImageProbe, RefusesWhatMustNotBeDecoded) {
  TestFolder folder;
  WriteAll(folder / "empty.png", "");
  WriteAll(folder / "text.jpg", "this is not an image at all, just some words");
  WriteAll(folder / "cut.png", ReadAll(Fixture("png24.png")).substr(0, 20));
  WriteAll(folder / "cut.gif", ReadAll(Fixture("gif_animated.gif")).substr(0, 16));
  WriteAll(folder / "cut.jp2", ReadAll(Fixture("jp2_rgb.jp2")).substr(0, 60));

  const struct {
    std::string path;
    std::string error;
  } cases[] = {
      {folder / "missing.png", "file not found"},
      {folder.Path().string(), "is a folder, not an image file"},
      {folder / "empty.png", "empty file"},
      {folder / "text.jpg", "not a recognised image"},
      {Fixture("tiff_named.png"), "unsupported image format (TIFF)"},
      {folder / "cut.png", "damaged or truncated PNG header"},
      {folder / "cut.gif", "damaged or truncated GIF header"},
      {folder / "cut.jp2", "damaged or truncated JPG2K header"},
      {Fixture("huge_claim_60000.bmp"), "image too large: 60000 x 60000 pixels"},
      {Fixture("huge_claim_60000.gif"), "image too large: 60000 x 60000 pixels"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const ImageProbe probe = ProbeImage(c.path);
    EXPECT_FALSE(probe.ok());
    EXPECT_EQ(probe.error.substr(0, c.error.size()), c.error) << probe.error;
  }
}

TEST(ImageProbe, FormatTextFollowsTheListTable) {
  EXPECT_EQ(FormatText(FIF_JP2), "JPG2K");
  EXPECT_EQ(FormatText(FIF_J2K), "?");  // a bare codestream is not one of the seven
  EXPECT_EQ(FormatText(FIF_TIFF), "?");
  EXPECT_EQ(FormatText(FIF_UNKNOWN), "?");
}
