// Colour checks on decoded bitmaps.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include "conversion/FreeImageSupport.h"

namespace testing_support {

struct Rgb {
  int r, g, b;
};

inline constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

// Colour at (x, y) with y counted from the top row.
inline Rgb PixelAt(FIBITMAP* bitmap, unsigned x, unsigned y) {
  RGBQUAD q{};
  FreeImage_GetPixelColor(bitmap, x, FreeImage_GetHeight(bitmap) - 1 - y, &q);
  return {q.rgbRed, q.rgbGreen, q.rgbBlue};
}

inline ::testing::AssertionResult Near(Rgb actual, Rgb expected, int tolerance) {
  if (std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
      std::abs(actual.b - expected.b) <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "got " << actual.r << "," << actual.g << "," << actual.b
                                       << " expected " << expected.r << "," << expected.g << ","
                                       << expected.b;
}

// The four quadrants of a 64 by 48 fixture, sampled away from their edges.
inline void ExpectQuadrants(FIBITMAP* bitmap, Rgb topLeft, Rgb topRight, Rgb bottomLeft, Rgb bottomRight,
                            int tolerance) {
  EXPECT_TRUE(Near(PixelAt(bitmap, 12, 10), topLeft, tolerance));
  EXPECT_TRUE(Near(PixelAt(bitmap, 52, 10), topRight, tolerance));
  EXPECT_TRUE(Near(PixelAt(bitmap, 12, 38), bottomLeft, tolerance));
  EXPECT_TRUE(Near(PixelAt(bitmap, 52, 38), bottomRight, tolerance));
}

}  // namespace testing_support
