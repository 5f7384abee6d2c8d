#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "JpegFixtures.h"
#include "pdf/ImageFormat.h"
#include "pdf/PdfDocument.h"

using namespace pdf;
using fixtures::Be16;
using fixtures::JpegOptions;
using fixtures::MakeJpeg;

namespace {

const std::string kSoi = "\xFF\xD8";

// A frame header of the given SOF marker for a height and width, 3 components.
std::string Frame(uint8_t marker, int height, int width) {
  return std::string("\xFF") + static_cast<char>(marker) + Be16(17) + '\x08' + Be16(height) + Be16(width) + '\x03' +
         std::string(9, '\x01');
}
std::string Segment(uint8_t marker, const std::string& body) {
  return std::string("\xFF") + static_cast<char>(marker) + Be16(static_cast<int>(body.size()) + 2) + body;
}
std::string Jfif(int unit, int x, int y) {
  return Segment(0xE0, std::string("JFIF\0\x01\x02", 7) + static_cast<char>(unit) + Be16(x) + Be16(y) + std::string(2, '\0'));
}
std::string Exif(const std::string& tiff) { return Segment(0xE1, std::string("Exif\0\0", 6) + tiff); }
const std::string kScanStart = Segment(0xDA, std::string(6, '\x01')) + "\x12\x34";

JpegHeaderInfo Header(const std::string& bytes) {
  TMemoryStream stream;
  stream.Write(bytes.data(), bytes.size());
  return ReadJpegHeader(stream);
}

int32_t Detect(const std::string& bytes) {
  TMemoryStream stream;
  stream.Write(bytes.data(), bytes.size());
  const int32_t code = DetectImageFormat(stream);
  EXPECT_EQ(stream.Position(), 0);
  return code;
}

std::string PlaceableWmf(bool goodChecksum) {
  std::string head = "\xD7\xCD\xC6\x9A" + std::string(16, '\x05');
  uint16_t x = 0;
  for (size_t i = 0; i < 20; i += 2) x ^= static_cast<uint16_t>(static_cast<uint8_t>(head[i]) | static_cast<uint8_t>(head[i + 1]) << 8);
  if (!goodChecksum) x ^= 1;
  return head + static_cast<char>(x & 0xFF) + static_cast<char>(x >> 8) + std::string(10, '\0');
}

std::string Emf() {
  std::string head = std::string("\x01\0\0\0", 4) + std::string(36, '\0') + " EMF";
  return head;
}

}  // namespace

TEST(DetectImageFormat, RecognisesEachFormatByItsFirstBytes) {
  const struct {
    std::string bytes;
    int32_t code;
  } cases[] = {
      {PlaceableWmf(true), kFormatWmf},
      {PlaceableWmf(false), kFormatUnknown},
      {Emf(), kFormatEmf},
      {Emf().substr(0, 43), kFormatUnknown},
      {std::string("BM\x10\0\0\0\0\0\0\0", 10), kFormatBmp},
      {std::string("BM\x10\0\0\0\x01\0\0\0", 10), kFormatUnknown},
      {std::string("BM\0\0\0\0\0", 7), kFormatUnknown},
      {kSoi, kFormatJpeg},
      {"MM\0*", kFormatTiff},
      {"II*", kFormatTiff},
      {"\x89PNG\r\n\x1A\n", kFormatPng},
      {"\x89PNG\r\n\x1A", kFormatUnknown},
      {"GIF87a", kFormatGif},
      {"GIF89a", kFormatGif},
      {"GIF90a", kFormatUnknown},
      {"\xFF", kFormatUnknown},
      {"", kFormatUnknown},
  };
  for (const auto& c : cases) EXPECT_EQ(Detect(c.bytes), c.code) << testing::PrintToString(c.bytes);
}

TEST(ReadJpegHeader, WalksTheMarkersUpToTheFirstBaselineOrProgressiveFrame) {
  const std::string dqt = Segment(0xDB, std::string(65, '\x01'));
  const std::string dri = Segment(0xDD, Be16(4));
  const struct {
    const char* name;
    std::string bytes;
    int32_t width, height;
  } cases[] = {
      {"SOF0", kSoi + Frame(0xC0, 16, 32), 32, 16},
      {"SOF1", kSoi + Frame(0xC1, 5, 6), 6, 5},
      {"SOF2 progressive", kSoi + Frame(0xC2, 480, 640), 640, 480},
      {"SOF3", kSoi + Frame(0xC3, 1, 2), 2, 1},
      {"segments skipped by length", kSoi + dqt + dri + Segment(0xC4, "xyz") + Frame(0xC0, 7, 9), 9, 7},
      {"fill bytes", kSoi + "\xFF\xFF\xFF" + Frame(0xC0, 7, 9), 9, 7},
      {"markers without a length", kSoi + "\xFF\xD0\xFF\x01" + Frame(0xC0, 3, 4), 4, 3},
      {"the byte after RSTn is a marker code", kSoi + "\xFF\xD3" + Frame(0xC0, 3, 4).substr(1), 4, 3},
      {"SOF9 is skipped like any segment", kSoi + Frame(0xC9, 7, 9) + kScanStart, 0, 0},
      {"SOF9 then SOF0", kSoi + Frame(0xC9, 7, 9) + Frame(0xC0, 3, 4), 4, 3},
      {"no frame before the scan", kSoi + dqt + kScanStart + Frame(0xC0, 3, 4), 0, 0},
      {"segment not followed by a marker", kSoi + dqt + std::string(1, '\0') + Frame(0xC0, 3, 4), 0, 0},
      {"no SOI", Frame(0xC0, 3, 4), 0, 0},
      {"only SOI", kSoi, 0, 0},
      {"ends after FF", kSoi + "\xFF", 0, 0},
      {"ends after fill bytes", kSoi + std::string(100000, '\xFF'), 0, 0},
      {"length beyond the end", kSoi + "\xFF\xDB\xFF\xFF" + Frame(0xC0, 3, 4), 0, 0},
      {"length 0", kSoi + "\xFF\xDB" + Be16(0) + Frame(0xC0, 3, 4), 0, 0},
      {"length 1", kSoi + "\xFF\xE0" + Be16(1) + Frame(0xC0, 3, 4), 0, 0},
      {"frame cut in its width", kSoi + Frame(0xC0, 3, 4).substr(0, 8), 0, 3},
      {"empty", "", 0, 0},
  };
  for (const auto& c : cases) {
    const JpegHeaderInfo info = Header(c.bytes);
    EXPECT_EQ(info.Width, c.width) << c.name;
    EXPECT_EQ(info.Height, c.height) << c.name;
  }
}

TEST(ReadJpegHeader, TakesComponentsAndDensityFromJfifAndExif) {
  const std::string exif = Exif(fixtures::ExifResolution(300, 1, 601, 2));
  const struct {
    const char* name;
    std::string segments;
    int32_t units, x, y;
  } cases[] = {
      {"nothing", "", -1, 0, 0},
      {"JFIF per inch", Jfif(1, 72, 96), 1, 72, 96},
      {"JFIF aspect only, then Exif", Jfif(0, 1, 1) + exif, 1, 300, 300},  // 300.5 to even
      {"Exif without JFIF is ignored", exif, -1, 0, 0},
      {"JFIF with a unit keeps its density", Jfif(2, 10, 20) + exif, 2, 10, 20},
      {"looping Exif directory chain", Jfif(0, 1, 1) + Exif(fixtures::ExifResolution(72, 1, 72, 1, true)), 1, 72, 72},
      {"Exif with a directory count past its end", Jfif(0, 1, 1) + Exif(std::string("II*\0\x08\0\0\0\xFF\xFF", 10)), 0, 1, 1},
      {"Exif with zero denominators", Jfif(0, 1, 1) + Exif(fixtures::ExifResolution(72, 0, 72, 0)), 0, 1, 1},
      {"JFIF in APP1 is not read", Segment(0xE1, std::string("JFIF\0\x01\x02\x01", 8) + Be16(5) + Be16(5)), -1, 0, 0},
  };
  for (const auto& c : cases) {
    const JpegHeaderInfo info = Header(kSoi + c.segments + Frame(0xC0, 3, 4));
    EXPECT_EQ(info.DensityUnits, c.units) << c.name;
    EXPECT_EQ(info.XDensity, c.x) << c.name;
    EXPECT_EQ(info.YDensity, c.y) << c.name;
    EXPECT_EQ(info.Width, 4) << c.name;
    EXPECT_EQ(info.Components, 3) << c.name;
  }
}

TEST(ReadJpegHeader, ReadsLibjpegFilesAndStopsShortOnEveryCutOffCopy) {
  for (int components : {1, 3, 4}) {
    const std::string file = MakeJpeg({.width = 33, .height = 17, .components = components, .progressive = components == 3});
    const JpegHeaderInfo whole = Header(file);
    EXPECT_EQ(whole.Width, 33);
    EXPECT_EQ(whole.Height, 17);
    EXPECT_EQ(whole.Components, components);

    // A copy cut before the end of its frame header's size fields yields no size.
    const size_t frame = file.find(components == 3 ? "\xFF\xC2" : "\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    for (size_t length = 0; length < frame + 9; ++length) EXPECT_EQ(Header(file.substr(0, length)).Width, 0) << length;
    EXPECT_EQ(Header(file.substr(0, frame + 9)).Width, 33);
  }
}

class LoadImageTest : public ::testing::Test {
 protected:
  TPDFDocument document;
  void SetUp() override { document.InitNewDocument(); }

  TPDFImage* Load(const std::string& bytes) {
    TMemoryStream stream;
    stream.Write(bytes.data(), bytes.size());
    return document.LoadImage(stream, 0, 1);
  }
};

TEST_F(LoadImageTest, EmbedsTheFileUnchangedAsADctDecodeXObject) {
  const std::string file = MakeJpeg({.width = 640, .height = 480, .densityUnit = 1, .xDensity = 96, .yDensity = 72});
  TPDFImage* image = Load(file);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->XObject()->Data(), file);
  EXPECT_EQ(image->ImageDictionary()->ToText(),
            "<<\n/Length " + std::to_string(file.size()) +
                "\n/Type /XObject\n/Subtype /Image\n/Width 640\n/Height 480\n/ColorSpace /DeviceRGB\n"
                "/BitsPerComponent 8\n/Filter /DCTDecode\n>>\n");
  EXPECT_EQ(image->Width(), 640);
  EXPECT_EQ(image->Height(), 480);
  EXPECT_EQ(image->ImageKind(), 1);
  EXPECT_EQ(image->ImportMode(), 1);
  EXPECT_EQ(image->ResolutionUnit(), 2);
  EXPECT_EQ(image->XResolution(), 96);
  EXPECT_EQ(image->YResolution(), 72);
  EXPECT_TRUE(image->Fonts().empty() && image->ContainedImages().empty() && image->GraphicsStates().empty() &&
              image->Patterns().empty());

  const TPDFIndObj* entry = document.FindObjectEntry(image->Reference()->ObjectNumber());
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->Obj, image->XObject());
  ASSERT_EQ(document.Images.size(), 1u);
  EXPECT_EQ(document.Images[0].get(), image);
  EXPECT_EQ(document.Version(), "1.4");
}

TEST_F(LoadImageTest, ChoosesTheColourSpaceByComponentCount) {
  const struct {
    int components;
    const char* colorSpace;
    const char* decode;
  } cases[] = {{1, "DeviceGray", nullptr}, {3, "DeviceRGB", nullptr}, {4, "DeviceCMYK", "[ 1 0 1 0 1 0 1 0 ]"}};
  for (const auto& c : cases) {
    TPDFImage* image = Load(MakeJpeg({.components = c.components}));
    ASSERT_NE(image, nullptr) << c.components;
    const TPDFDictionary* dictionary = image->ImageDictionary();
    EXPECT_EQ(As<TPDFName>(dictionary->GetValue("ColorSpace"))->Value(), c.colorSpace);
    EXPECT_EQ(image->ColorSpaceName(), c.colorSpace);
    const TPDFObject* decode = dictionary->GetValue("Decode");
    if (c.decode == nullptr) {
      EXPECT_EQ(decode, nullptr);
    } else {
      ASSERT_NE(decode, nullptr);
      EXPECT_EQ(decode->ToText(), c.decode);
      EXPECT_EQ(dictionary->IndexOf("Decode") + 1, dictionary->IndexOf("BitsPerComponent"));
    }
  }
}

TEST_F(LoadImageTest, GivesEveryImageItsOwnNameAndStream) {
  const std::string file = MakeJpeg({.progressive = true});
  TPDFImage* first = Load(file);
  TPDFImage* second = Load(file);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_THAT(first->ResourceName(), testing::MatchesRegex("VellumIm[0-9a-f]{8}"));
  EXPECT_THAT(second->ResourceName(), testing::MatchesRegex("VellumIm[0-9a-f]{8}"));
  EXPECT_NE(first->ResourceName(), second->ResourceName());
  EXPECT_NE(first->XObject(), second->XObject());
  EXPECT_NE(first->Reference()->ObjectNumber(), second->Reference()->ObjectNumber());
}

TEST_F(LoadImageTest, RefusedInputLeavesNoTrace) {
  const std::string good = MakeJpeg({});
  const std::string refused[] = {
      "",
      "GIF89a" + std::string(40, '\0'),
      kSoi + Frame(0xC9, 8, 16) + kScanStart,
      kSoi + Frame(0xC0, 0, 16),
      kSoi + Frame(0xC0, 8, 0),
      good.substr(0, good.find("\xFF\xC0") + 4),
  };
  const size_t objects = document.ObjectTable().size();
  const size_t live = document.Structure().LiveCount();
  for (const std::string& bytes : refused) EXPECT_EQ(Load(bytes), nullptr);
  EXPECT_TRUE(document.Images.empty());
  EXPECT_EQ(document.ObjectTable().size(), objects);
  EXPECT_EQ(document.Structure().LiveCount(), live);
}

TEST(TPDFImage, BuildsNothingForAStoreWithoutRegistration) {
  TPDFStructure store;
  TPDFImage image(store, "VellumIm00000000", 0);
  const std::string file = MakeJpeg({});
  TMemoryStream stream;
  stream.Write(file.data(), file.size());
  EXPECT_FALSE(image.LoadImageFromStream(stream, 0));
  EXPECT_EQ(store.LiveCount(), 0u);
}
