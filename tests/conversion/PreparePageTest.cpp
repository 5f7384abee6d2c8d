#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "conversion/PreparePage.h"
#include "Pixels.h"
#include "TestFolder.h"

using namespace conversion;
using testing_support::Fixture;
using testing_support::ReadAll;
using testing_support::TestFolder;
using testing_support::WriteAll;
using testing_support::Rgb;
using testing_support::kRed;
using testing_support::kGreen;
using testing_support::kBlue;
using testing_support::kWhite;

namespace {

// Sampling factors of a baseline JPEG's frame header, one byte per component; none when the
// file has no baseline frame (progressive or not a JPEG).
std::optional<std::string> BaselineSampling(const std::string& jpeg) {
  for (size_t i = 2; i + 9 < jpeg.size();) {
    if (static_cast<unsigned char>(jpeg[i]) != 0xFF) return std::nullopt;
    const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
    const size_t length = (static_cast<unsigned char>(jpeg[i + 2]) << 8) | static_cast<unsigned char>(jpeg[i + 3]);
    if (marker == 0xC0) {
      const int components = static_cast<unsigned char>(jpeg[i + 9]);
      std::string sampling;
      for (int c = 0; c < components; ++c) sampling += jpeg[i + 11 + 3 * c];
      return sampling;
    }
    if (marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) return std::nullopt;
    i += 2 + length;
  }
  return std::nullopt;
}

struct FixtureCase {
  const char* file;
  Rgb topLeft, topRight, bottomLeft, bottomRight;
};

void PrintTo(const FixtureCase& c, std::ostream* out) { *out << c.file; }

class PreparePageOfFixture : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(PreparePageOfFixture, GivesA420BaselineJpegOfTheSourcePixels) {
  const FixtureCase& c = GetParam();
  TestFolder temp;
  const PageImage page = PreparePageImage(Fixture(c.file), temp.Slash());
  ASSERT_TRUE(page.ok()) << page.error;
  EXPECT_EQ(page.width, 64u);
  EXPECT_EQ(page.height, 48u);
  EXPECT_EQ(page.jpegPath, temp.Slash() + c.file + "-420-page.jpg");

  // Only the JPEG is left; a PNG's temporary BMP is gone.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), {}), 1);

  const std::string bytes = ReadAll(page.jpegPath);
  EXPECT_EQ(BaselineSampling(bytes), std::string("\x22\x11\x11"));

  BitmapPtr decoded(FreeImage_Load(FIF_JPEG, page.jpegPath.c_str(), 0));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(FreeImage_GetBPP(decoded.get()), 24u);
  testing_support::ExpectQuadrants(decoded.get(), c.topLeft, c.topRight, c.bottomLeft, c.bottomRight,
                                   24);  // quality-75 JPEG with 4:2:0 chroma
}

const Rgb kGreyRed{54, 54, 54}, kGreyGreen{182, 182, 182}, kGreyBlue{18, 18, 18};

INSTANTIATE_TEST_SUITE_P(
    Formats, PreparePageOfFixture,
    ::testing::Values(
        FixtureCase{"bmp24_300dpi.bmp", kRed, kGreen, kBlue, kWhite},
        FixtureCase{"gif_animated.gif", kRed, kGreen, kBlue, kWhite},  // first frame only
        FixtureCase{"jpeg_grey.jpg", kGreyRed, kGreyGreen, kGreyBlue, kWhite},
        FixtureCase{"jpeg_rgb.jpg", kRed, kGreen, kBlue, kWhite},
        FixtureCase{"jpeg_cmyk.jpg", kRed, kGreen, kBlue, kWhite},
        FixtureCase{"jp2_rgb.jp2", kRed, kGreen, kBlue, kWhite},
        FixtureCase{"pcx24.pcx", kRed, kGreen, kBlue, kWhite},
        // Palette transparency is made opaque: the transparent index keeps its colour.
        FixtureCase{"png8_transparent.png", kRed, kGreen, kBlue, kWhite},
        FixtureCase{"png24.png", kRed, kGreen, kBlue, kWhite},
        // Fully transparent black becomes white, half transparent blue a light blue.
        FixtureCase{"png32_alpha.png", kRed, kGreen, Rgb{127, 127, 255}, kWhite},
        FixtureCase{"png16.png", kRed, kGreen, kBlue, kWhite},
        FixtureCase{"psd_rgb.psd", kRed, kGreen, kBlue, kWhite},
        FixtureCase{"png_named.jpg", kRed, kGreen, kBlue, kWhite}),
    [](const auto& info) {
      std::string name = info.param.file;
      for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      }
      return name;
    });

const char* const kGoodFixtures[] = {"bmp24_300dpi.bmp", "gif_animated.gif", "jpeg_grey.jpg",
                                     "jpeg_rgb.jpg",     "jpeg_cmyk.jpg",    "jp2_rgb.jp2",
                                     "pcx24.pcx",        "png8_transparent.png", "png24.png",
                                     "png32_alpha.png",  "png16.png",        "psd_rgb.psd"};

bool FolderIsEmpty(const TestFolder& folder) {
  return std::filesystem::directory_iterator(folder.Path()) == std::filesystem::directory_iterator();
}

}  // namespace

TEST(PreparePageBadInput, TruncatedAndEmptyFilesOfEveryFormatFailWithAReason) {
  TestFolder sources("-sources"), temp;
  for (const char* name : kGoodFixtures) {
    const std::string bytes = ReadAll(Fixture(name));
    for (size_t length : {size_t{0}, bytes.size() / 4, bytes.size() / 2, bytes.size() * 9 / 10}) {
      SCOPED_TRACE(std::string(name) + " cut to " + std::to_string(length));
      const std::string path = sources / ("cut-" + std::string(name));
      WriteAll(path, bytes.substr(0, length));
      const PageImage page = PreparePageImage(path, temp.Slash());
      EXPECT_FALSE(page.ok());
      EXPECT_TRUE(page.jpegPath.empty());
      EXPECT_TRUE(FolderIsEmpty(temp));
    }
  }
}

// Damaged data may still decode (a flipped pixel is a valid image), but must never crash or
// leave a temporary file behind when it fails.
TEST(PreparePageBadInput, CorruptFilesOfEveryFormatNeverCrash) {
  TestFolder sources("-sources"), temp;
  for (const char* name : kGoodFixtures) {
    const std::string bytes = ReadAll(Fixture(name));
    for (int step = 1; step < 20; ++step) {
      std::string damaged = bytes;
      const size_t at = damaged.size() * step / 20;
      for (size_t k = at; k < at + 8 && k < damaged.size(); ++k) damaged[k] = static_cast<char>(~damaged[k] + step);
      const std::string path = sources / name;
      WriteAll(path, damaged);
      const PageImage page = PreparePageImage(path, temp.Slash());
      if (page.ok()) {
        std::filesystem::remove(page.jpegPath);
      } else {
        EXPECT_FALSE(page.error.empty());
      }
      EXPECT_TRUE(FolderIsEmpty(temp)) << name << " step " << step;
    }
  }
}

TEST(PreparePageBadInput, DamagedPsdRunLengthsAreRefusedBeforeDecoding) {
  // FreeImage's PSD decoder writes past its row buffer when a row's byte count is wrong.
  TestFolder temp;
  std::string bytes = ReadAll(Fixture("psd_rgb.psd"));
  const size_t counts = bytes.find(std::string("\x00\x04\x00\x04", 4));
  ASSERT_NE(counts, std::string::npos);
  bytes[counts] = '\x5A';
  const std::string path = temp / "damaged.psd";
  WriteAll(path, bytes);
  const PageImage page = PreparePageImage(path, temp.Slash());
  EXPECT_EQ(page.error, "damaged PSD image data");
}

TEST(PreparePageBadInput, OtherFormatsAndVanishedFilesAreNeverDecoded) {
  TestFolder temp;
  EXPECT_EQ(PreparePageImage(Fixture("tiff_named.png"), temp.Slash()).error, "unsupported image format (TIFF)");
  EXPECT_EQ(PreparePageImage(temp / "gone.jpg", temp.Slash()).error, "file not found");
  EXPECT_EQ(PreparePageImage(temp.Path().string(), temp.Slash()).error, "is a folder, not an image file");
  EXPECT_TRUE(FolderIsEmpty(temp));
}

TEST(PreparePageBadInput, UnwritableTemporaryFolderFailsTheImage) {
  for (const char* name : {"png24.png", "jpeg_rgb.jpg"}) {  // through the temporary BMP and not
    const PageImage page = PreparePageImage(Fixture(name), "/nonexistent-folder/lumenfold/");
    EXPECT_FALSE(page.ok()) << name;
    EXPECT_NE(page.error.find("cannot write the temporary file /nonexistent-folder/lumenfold/"), std::string::npos)
        << page.error;
  }
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// A few bytes claiming 60000 by 60000 pixels are refused under a 512 MiB address-space limit,
// in a child process so the limit does not reach the rest of the suite.
TEST(PreparePageBadInput, HugeClaimsAreRefusedWithoutAllocating) {
  for (const char* name : {"huge_claim_60000.bmp", "huge_claim_60000.gif"}) {
    TestFolder temp;
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
      rlimit limit{512u << 20, 512u << 20};
      setrlimit(RLIMIT_AS, &limit);
      const PageImage page = PreparePageImage(Fixture(name), temp.Slash());
      _exit(page.error.rfind("image too large: 60000 x 60000 pixels", 0) == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << name;
  }
}
#endif

namespace {

// A 64 by 48 deep bitmap: left half red, right half transparent black (alpha 0) where the type
// has alpha, else blue.
BitmapPtr DeepBitmap(FREE_IMAGE_TYPE type) {
  BitmapPtr bitmap(FreeImage_AllocateT(type, 64, 48));
  for (unsigned y = 0; y < 48; ++y) {
    BYTE* row = FreeImage_GetScanLine(bitmap.get(), static_cast<int>(y));
    for (unsigned x = 0; x < 64; ++x) {
      const bool left = x < 32;
      if (type == FIT_RGBA16) {
        reinterpret_cast<FIRGBA16*>(row)[x] = left ? FIRGBA16{65535, 0, 0, 65535} : FIRGBA16{0, 0, 0, 0};
      } else if (type == FIT_RGB16) {
        reinterpret_cast<FIRGB16*>(row)[x] = left ? FIRGB16{65535, 0, 0} : FIRGB16{0, 0, 65535};
      } else {
        reinterpret_cast<WORD*>(row)[x] = left ? 65535 : 0;
      }
    }
  }
  return bitmap;
}

}  // namespace

TEST(PreparePageDeepImages, SixteenBitsPerChannelBecomeEightAndAlphaBecomesWhite) {
  const struct {
    FREE_IMAGE_FORMAT format;
    FREE_IMAGE_TYPE type;
    const char* name;
    Rgb left, right;
  } cases[] = {
      {FIF_PNG, FIT_RGBA16, "rgba16.png", kRed, kWhite},
      {FIF_PNG, FIT_UINT16, "grey16.png", kWhite, Rgb{0, 0, 0}},
      {FIF_PSD, FIT_RGB16, "rgb16.psd", kRed, kBlue},
      {FIF_JP2, FIT_RGB16, "rgb16.jp2", kRed, kBlue},
  };
  TestFolder sources("-sources"), temp;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string source = sources / c.name;
    ASSERT_TRUE(FreeImage_Save(c.format, DeepBitmap(c.type).get(), source.c_str(), 0));
    const PageImage page = PreparePageImage(source, temp.Slash());
    ASSERT_TRUE(page.ok()) << page.error;
    BitmapPtr decoded(FreeImage_Load(FIF_JPEG, page.jpegPath.c_str(), 0));
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(testing_support::Near(testing_support::PixelAt(decoded.get(), 10, 20), c.left, 24));
    EXPECT_TRUE(testing_support::Near(testing_support::PixelAt(decoded.get(), 50, 20), c.right, 24));
  }
}

TEST(SaveBmp32TopDown, Writes54ByteHeaderNegativeHeightAndTopRowFirst) {
  TestFolder temp;
  BitmapPtr bitmap(FreeImage_Allocate(2, 2, 32));
  RGBQUAD top{1, 2, 3, 255}, bottom{4, 5, 6, 128};  // blue, green, red, alpha
  for (unsigned x = 0; x < 2; ++x) {
    FreeImage_SetPixelColor(bitmap.get(), x, 1, &top);  // FreeImage's row 1 is the top row
    FreeImage_SetPixelColor(bitmap.get(), x, 0, &bottom);
  }
  const std::string path = temp / "x.bmp";
  ASSERT_TRUE(SaveBmp32TopDown(bitmap.get(), path));
  const std::string bytes = ReadAll(path);
  ASSERT_EQ(bytes.size(), 54u + 16u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(bytes.substr(10, 4), std::string("\x36\0\0\0", 4));       // pixels at 54
  EXPECT_EQ(bytes.substr(14, 4), std::string("\x28\0\0\0", 4));       // 40-byte info header
  EXPECT_EQ(bytes.substr(22, 4), std::string("\xFE\xFF\xFF\xFF", 4));  // height -2
  EXPECT_EQ(bytes.substr(28, 6), std::string("\x20\0\0\0\0\0", 6));   // 32 bits, BI_RGB
  EXPECT_EQ(bytes.substr(54, 8), std::string("\x01\x02\x03\xFF\x01\x02\x03\xFF", 8));
  EXPECT_EQ(bytes.substr(62, 8), std::string("\x04\x05\x06\x80\x04\x05\x06\x80", 8));

  EXPECT_FALSE(SaveBmp32TopDown(bitmap.get(), "/nonexistent-folder/x.bmp"));
}

// Pages of PNGs skip the temporary BMP that the flattened bitmap once went through; the JPEG
// must come out byte for byte as it did through the BMP.
TEST(PreparePageImage, PngPagesMatchTheRouteThroughTheTemporaryBmp) {
  TestFolder temp;
  for (const char* name : {"png8_transparent.png", "png24.png", "png32_alpha.png", "png16.png", "png_named.jpg"}) {
    SCOPED_TRACE(name);
    const PageImage page = PreparePageImage(Fixture(name), temp.Slash());
    ASSERT_TRUE(page.ok()) << page.error;

    BitmapPtr flat;
    FlattenPngToBitmap32(Fixture(name), flat);
    ASSERT_TRUE(flat);
    const std::string bmp = temp / "reference.bmp";
    ASSERT_TRUE(SaveBmp32TopDown(flat.get(), bmp));
    BitmapPtr reloaded(FreeImage_Load(FIF_BMP, bmp.c_str(), 0));
    ASSERT_TRUE(reloaded);
    BitmapPtr rgb(FreeImage_ConvertTo24Bits(reloaded.get()));
    const std::string reference = temp / "reference.jpg";
    ASSERT_TRUE(FreeImage_Save(FIF_JPEG, rgb.get(), reference.c_str(), JPEG_SUBSAMPLING_420));

    EXPECT_EQ(ReadAll(page.jpegPath), ReadAll(reference));
  }
}
