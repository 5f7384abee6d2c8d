// Fixture paths and colour checks on QImages for the preview tests.
#pragma once

#include <gtest/gtest.h>

#include <FreeImage.h>

#include <QColor>
#include <QImage>
#include <cstdlib>
#include <string>

#include "conversion/FreeImageSupport.h"

namespace preview_test {

inline std::string Fixture(const char* name) { return std::string(LUMENFOLD_TEST_DATA) + "/" + name; }

inline ::testing::AssertionResult Near(QColor actual, QColor expected, int tolerance) {
  if (std::abs(actual.red() - expected.red()) <= tolerance && std::abs(actual.green() - expected.green()) <= tolerance &&
      std::abs(actual.blue() - expected.blue()) <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "got " << actual.name().toStdString() << " expected "
                                       << expected.name().toStdString();
}

// The fixtures are 64 by 48: red, green / blue, white quadrants, sampled away from their edges
// at the same relative places whatever the image's size.
inline void ExpectQuadrants(const QImage& image, QColor bottomRight, int tolerance) {
  const auto at = [&](double x, double y) {
    return image.pixelColor(static_cast<int>(x * image.width()), static_cast<int>(y * image.height()));
  };
  EXPECT_TRUE(Near(at(0.2, 0.2), Qt::red, tolerance));
  EXPECT_TRUE(Near(at(0.8, 0.2), Qt::green, tolerance));
  EXPECT_TRUE(Near(at(0.2, 0.8), Qt::blue, tolerance));
  EXPECT_TRUE(Near(at(0.8, 0.8), bottomRight, tolerance));
}

// A plain grey picture of the size: 24-bit PNG, or an 8-bit single-frame GIF.
inline void WriteGrey(const std::string& path, int width, int height, FREE_IMAGE_FORMAT format = FIF_PNG) {
  conversion::BitmapPtr bitmap(FreeImage_Allocate(width, height, 24));
  RGBQUAD grey{128, 128, 128, 255};
  FreeImage_FillBackground(bitmap.get(), &grey);
  if (format == FIF_GIF) bitmap.reset(FreeImage_ColorQuantize(bitmap.get(), FIQ_WUQUANT));
  ASSERT_TRUE(bitmap);
  ASSERT_TRUE(FreeImage_Save(format, bitmap.get(), path.c_str(), 0));
}

}  // namespace preview_test
