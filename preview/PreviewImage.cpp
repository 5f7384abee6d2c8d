#include "preview/PreviewImage.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "conversion/ImageProbe.h"

namespace preview {

namespace {

struct MultiBitmapCloser {
  void operator()(FIMULTIBITMAP* bitmap) const { FreeImage_CloseMultiBitmap(bitmap, 0); }
};

int CountFrames(FREE_IMAGE_FORMAT type, const std::string& path) {
  std::unique_ptr<FIMULTIBITMAP, MultiBitmapCloser> pages(
      FreeImage_OpenMultiBitmap(type, path.c_str(), FALSE, TRUE, FALSE, 0));
  return pages ? FreeImage_GetPageCount(pages.get()) : 0;
}

// FreeImage keeps rows bottom-up in BGRA order, which on a little-endian machine is the byte
// order of QImage's 32-bit formats.
QImage ImageFrom32Bits(FIBITMAP* dib, bool keepAlpha) {
  const int width = static_cast<int>(FreeImage_GetWidth(dib));
  const int height = static_cast<int>(FreeImage_GetHeight(dib));
  QImage image(width, height, keepAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (image.isNull()) return image;
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<uint32_t*>(image.scanLine(y));
    std::memcpy(line, FreeImage_GetScanLine(dib, static_cast<unsigned>(height - 1 - y)),
                static_cast<std::size_t>(width) * 4);
    if (!keepAlpha) {
      for (int x = 0; x < width; ++x) line[x] |= 0xff000000u;
    }
  }
  return image;
}

// Depths and pixel types other than 8-bit channels (16 bits per channel, 16-bit grey, floating
// point) are brought to 8 bits per channel first, so they show instead of leaving the view empty.
conversion::BitmapPtr To32Bits(FIBITMAP* dib) {
  if (conversion::BitmapPtr direct{FreeImage_ConvertTo32Bits(dib)}) return direct;  // also RGB16, RGBA16
  conversion::BitmapPtr standard(FreeImage_ConvertToStandardType(dib, TRUE));    // grey and complex types
  if (!standard) standard.reset(FreeImage_ToneMapping(dib, FITMO_DRAGO03, 0, 0));  // RGBF, RGBAF
  if (!standard) return nullptr;
  return conversion::BitmapPtr(FreeImage_ConvertTo32Bits(standard.get()));
}

bool HasAlphaChannel(FIBITMAP* dib) {
  switch (FreeImage_GetImageType(dib)) {
    case FIT_BITMAP: return FreeImage_GetBPP(dib) == 32;
    case FIT_RGBA16:
    case FIT_RGBAF: return true;
    default: return false;
  }
}

}  // namespace

std::optional<PreviewImage> DecodePreview(const std::string& path) {
  const conversion::ImageProbe probe = conversion::ProbeImage(path);
  if (!probe.ok()) return std::nullopt;
  PreviewImage image;
  image.type = probe.format;
  image.dib.reset(FreeImage_Load(image.type, path.c_str(), 0));
  if (!image.dib) return std::nullopt;
  image.bitsPerPixel = static_cast<int>(FreeImage_GetBPP(image.dib.get()));

  const bool standard32 = image.bitsPerPixel == 32 && FreeImage_GetImageType(image.dib.get()) == FIT_BITMAP;
  if (!standard32) image.frames = CountFrames(image.type, path);
  image.blend = image.type == FIF_PNG && HasAlphaChannel(image.dib.get());
  if (standard32) {
    image.bitmap = ImageFrom32Bits(image.dib.get(), image.blend);
  } else {
    const conversion::BitmapPtr working = To32Bits(image.dib.get());
    if (!working) return std::nullopt;
    image.bitmap = ImageFrom32Bits(working.get(), image.blend);
  }
  if (image.bitmap.isNull()) return std::nullopt;
  return image;
}

float PreviewScale(QSize client, QSize bitmap) {
  if (bitmap.isEmpty()) return 1.0f;
  const float scale = std::min(static_cast<float>(client.width()) / static_cast<float>(bitmap.width()),
                               static_cast<float>(client.height()) / static_cast<float>(bitmap.height()));
  return std::min(scale, 1.0f);
}

QSize ScaledSize(QSize bitmap, float scale) {
  if (bitmap.isEmpty() || scale >= 1.0f) return bitmap;
  const auto side = [scale](int length) {
    return std::max(1, static_cast<int>(std::lround(length * static_cast<double>(scale))));
  };
  return {side(bitmap.width()), side(bitmap.height())};
}

QImage ScaledForView(const QImage& bitmap, float scale, QColor background) {
  if (bitmap.isNull()) return {};
  QImage opaque(bitmap.size(), QImage::Format_RGB32);
  if (bitmap.hasAlphaChannel()) {
    // Blending before resampling keeps transparent pixels' colours out of their neighbours.
    opaque.fill(background);
    QPainter painter(&opaque);
    painter.drawImage(0, 0, bitmap);
  } else {
    opaque = bitmap.convertToFormat(QImage::Format_RGB32);
  }
  if (scale >= 1.0f) return opaque;

  const QSize size = ScaledSize(bitmap.size(), scale);
  const conversion::BitmapPtr source(FreeImage_ConvertFromRawBits(
      opaque.bits(), opaque.width(), opaque.height(), static_cast<int>(opaque.bytesPerLine()), 32,
      FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, TRUE));
  if (!source) return {};
  const conversion::BitmapPtr scaled(FreeImage_Rescale(source.get(), size.width(), size.height(), FILTER_CATMULLROM));
  if (!scaled) return {};
  // The kernel may overshoot into the alpha byte; the view is opaque.
  return ImageFrom32Bits(scaled.get(), /*keepAlpha=*/false);
}

QString PropertiesText(int width, int height, int bitsPerPixel, FREE_IMAGE_FORMAT type) {
  return QStringLiteral("  %1\u00d7%2  %3 BPP  %4  |")
      .arg(width)
      .arg(height)
      .arg(bitsPerPixel)
      .arg(QString::fromStdString(conversion::FormatText(type)));
}

QString ScaleText(float scale) {
  // Whole percent, halves to the even neighbour like every number shown to the user.
  const auto percent = static_cast<long>(std::nearbyint(static_cast<double>(scale) * 100.0));
  return QStringLiteral("Scale: %1 %  ").arg(percent);
}

// Trying every tail length from the longest down, as the label is shortened one character a
// pass, finds the longest tail that fits; the width grows with the tail, so halving the range
// finds the same one in a logarithmic number of measurements.
QString ShortenToFit(const QString& path, const QFontMetrics& metrics, int available) {
  if (metrics.horizontalAdvance(path) <= available) return path;
  const QString head = path.left(24) + QStringLiteral("... ");
  const auto text = [&](qsizetype tail) { return head + path.right(tail); };
  qsizetype low = 0;                  // the answer when nothing longer fits
  qsizetype high = path.size() - 1;   // longest tail tried
  while (low < high) {
    const qsizetype middle = (low + high + 1) / 2;
    if (metrics.horizontalAdvance(text(middle)) <= available) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return text(std::max<qsizetype>(low, 0));
}

}  // namespace preview
