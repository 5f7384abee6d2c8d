// Decoding a file for the preview and the texts and sizes the pane shows for it. No widgets:
// the pane turns these values into what is drawn.
#pragma once

#include <FreeImage.h>

#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>
#include <string>

#include "conversion/FreeImageSupport.h"

namespace preview {

struct PreviewImage {
  conversion::BitmapPtr dib;  // as FreeImage decoded the file
  FREE_IMAGE_FORMAT type = FIF_UNKNOWN;
  int bitsPerPixel = 0;
  int frames = 0;  // 2 or more: an animated GIF
  // The view's full-size bitmap. Only PNG files keep their alpha, to be blended over the
  // view's background; every other file is shown opaque.
  QImage bitmap;
  bool blend = false;
};

// Checks the file with the conversion's probe (one of the seven formats, a sane pixel count)
// before FreeImage decodes it; nullopt when it cannot be shown.
std::optional<PreviewImage> DecodePreview(const std::string& path);

// The factor that fits the bitmap into the view, never above 1 (images are never enlarged).
float PreviewScale(QSize client, QSize bitmap);

// The size the bitmap is drawn at: each side times the scale, to the nearest pixel, at least 1.
QSize ScaledSize(QSize bitmap, float scale);

// The bitmap at the scale, drawn with the cubic kernel of coefficient -0.5 (Catmull-Rom), with
// alpha blended over the background. Opaque result.
QImage ScaledForView(const QImage& bitmap, float scale, QColor background);

// "  640×480  24 BPP  JPEG  |"
QString PropertiesText(int width, int height, int bitsPerPixel, FREE_IMAGE_FORMAT type);
// "Scale: 10 %  "
QString ScaleText(float scale);

// The path as it fits into the width: whole when it fits, else its first 24 characters, "... "
// and as many of its last characters as fit (none at the least).
QString ShortenToFit(const QString& path, const QFontMetrics& metrics, int available);

}  // namespace preview
