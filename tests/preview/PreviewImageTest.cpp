#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QTemporaryDir>
#include <fstream>

#include "PreviewImages.h"
#include "preview/PreviewImage.h"

namespace preview {
namespace {

using preview_test::ExpectQuadrants;
using preview_test::Fixture;
using preview_test::Near;

struct DecodeCase {
  const char* file;
  int bitsPerPixel;
  int frames;  // counted for depths other than 32 only
  bool blend;
  QColor bottomRight;  // as the view shows it, before blending
  int tolerance;
};

TEST(PreviewImageTest, DecodesEveryFormatTheRightWayUp) {
  const QColor transparentBlack(0, 0, 0);
  const DecodeCase cases[] = {
      {"bmp24_300dpi.bmp", 24, 1, false, Qt::white, 0},
      {"jpeg_rgb.jpg", 24, 1, false, Qt::white, 8},
      {"jpeg_cmyk.jpg", 24, 1, false, Qt::white, 12},
      {"jp2_rgb.jp2", 24, 1, false, Qt::white, 8},
      {"pcx24.pcx", 24, 1, false, Qt::white, 0},
      {"png24.png", 24, 1, false, Qt::white, 0},
      {"png8_transparent.png", 8, 1, false, Qt::white, 0},  // palette transparency is not blended
      {"png32_alpha.png", 32, 0, true, transparentBlack, 0},
      {"png16.png", 48, 1, false, Qt::white, 1},  // 16 bits per channel still shows
      {"psd_rgb.psd", 24, 1, false, Qt::white, 0},
      {"gif_animated.gif", 8, 3, false, Qt::white, 0},
      {"png_named.jpg", 24, 1, false, Qt::white, 0},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.file);
    const std::optional<PreviewImage> image = DecodePreview(Fixture(c.file));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bitsPerPixel, c.bitsPerPixel);
    EXPECT_EQ(image->frames, c.frames);
    EXPECT_EQ(image->blend, c.blend);
    EXPECT_EQ(image->bitmap.hasAlphaChannel(), c.blend);
    ASSERT_EQ(image->bitmap.size(), QSize(64, 48));
    ExpectQuadrants(image->bitmap, c.bottomRight, c.tolerance);
  }
}

TEST(PreviewImageTest, GreyJpegShowsTheLumaOfEachQuadrant) {
  const std::optional<PreviewImage> image = DecodePreview(Fixture("jpeg_grey.jpg"));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->bitsPerPixel, 8);
  // Rec. 709 luma of red, green, blue and white.
  EXPECT_TRUE(Near(image->bitmap.pixelColor(12, 10), QColor(54, 54, 54), 6));
  EXPECT_TRUE(Near(image->bitmap.pixelColor(52, 10), QColor(182, 182, 182), 6));
  EXPECT_TRUE(Near(image->bitmap.pixelColor(12, 38), QColor(18, 18, 18), 6));
  EXPECT_TRUE(Near(image->bitmap.pixelColor(52, 38), QColor(255, 255, 255), 6));
}

TEST(PreviewImageTest, RefusesWhatTheProbeRefuses) {
  QTemporaryDir folder;
  const std::string garbage = folder.filePath(QStringLiteral("garbage.png")).toStdString();
  std::ofstream(garbage) << "not an image at all";
  for (const std::string& path : {Fixture("huge_claim_60000.bmp"), Fixture("huge_claim_60000.gif"),
                                  Fixture("tiff_named.png"), garbage, std::string("/no/such/file.png")}) {
    EXPECT_FALSE(DecodePreview(path)) << path;
  }
}

TEST(PreviewImageTest, ScaleFitsTheViewAndNeverEnlarges) {
  struct Case {
    QSize client, bitmap;
    const char* text;
  };
  const Case cases[] = {
      {{400, 300}, {4000, 3000}, "Scale: 10 %  "},
      {{400, 300}, {100, 100}, "Scale: 100 %  "},
      {{400, 300}, {800, 300}, "Scale: 50 %  "},   // the narrower side decides
      {{400, 300}, {400, 900}, "Scale: 33 %  "},
      {{400, 300}, {400, 300}, "Scale: 100 %  "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScaleText(PreviewScale(c.client, c.bitmap)).toStdString(), c.text);
  }
  EXPECT_EQ(ScaledSize({4000, 3000}, 0.1f), QSize(400, 300));
  EXPECT_EQ(ScaledSize({5000, 2}, 0.1f), QSize(500, 1));
}

TEST(PreviewImageTest, PropertiesLineSpellsSizeDepthAndFormat) {
  EXPECT_EQ(PropertiesText(640, 480, 24, FIF_JPEG), QStringLiteral("  640\u00d7480  24 BPP  JPEG  |"));
  EXPECT_EQ(PropertiesText(64, 48, 8, FIF_JP2), QStringLiteral("  64\u00d748  8 BPP  JPG2K  |"));
  EXPECT_EQ(PropertiesText(1, 1, 1, FIF_TIFF), QStringLiteral("  1\u00d71  1 BPP  ?  |"));
}

TEST(PreviewImageTest, ScaledViewKeepsColoursAndBlendsAlpha) {
  const std::optional<PreviewImage> image = DecodePreview(Fixture("png32_alpha.png"));
  ASSERT_TRUE(image);
  const QColor background(0x10, 0x80, 0xf0);
  for (const float scale : {1.0f, 0.5f}) {
    SCOPED_TRACE(scale);
    const QImage view = ScaledForView(image->bitmap, scale, background);
    EXPECT_EQ(view.size(), ScaledSize({64, 48}, scale));
    EXPECT_FALSE(view.hasAlphaChannel());
    const auto at = [&](double x, double y) {
      return view.pixelColor(static_cast<int>(x * view.width()), static_cast<int>(y * view.height()));
    };
    EXPECT_TRUE(Near(at(0.2, 0.2), Qt::red, 2));
    EXPECT_TRUE(Near(at(0.8, 0.2), Qt::green, 2));
    // Blue at alpha 128 lies halfway to the background; the transparent corner is background.
    EXPECT_TRUE(Near(at(0.2, 0.8), QColor(0x08, 0x40, 0xf8), 2));
    EXPECT_TRUE(Near(at(0.8, 0.8), background, 2));
  }
}

// The label is shortened a character a pass until it fits.
QString ShortenOneByOne(const QString& path, const QFontMetrics& metrics, int available) {
  QString text = path;
  for (qsizetype tail = path.size() - 1; metrics.horizontalAdvance(text) > available && tail >= 0; --tail)
    text = path.left(24) + QStringLiteral("... ") + path.right(tail);
  return text;
}

TEST(PreviewImageTest, ShortenToFitMatchesShorteningOneCharacterAPass) {
  const QFontMetrics metrics(QFont(QStringLiteral("Sans"), 9));
  const QString paths[] = {
      QStringLiteral("/home/someone/Pictures/holidays/2026/an image with a long name.jpg"),
      QStringLiteral("/short.png"),
      QStringLiteral("/m/") + QString(300, QLatin1Char('w')) + QStringLiteral("/iiiiiiiiii.png"),
  };
  for (const QString& path : paths) {
    for (const int available : {0, 40, 150, 220, 400, 5000}) {
      const QString fitted = ShortenToFit(path, metrics, available);
      EXPECT_EQ(fitted, ShortenOneByOne(path, metrics, available)) << available;
      if (fitted != path) {
        EXPECT_TRUE(fitted.startsWith(path.left(24) + QStringLiteral("... ")));
      }
    }
  }
}

}  // namespace
}  // namespace preview
