#include "app/Glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace app {

namespace {

const QColor kBlue(0x1f, 0x6f, 0xc5);
const QColor kOrange(0xf0, 0x8a, 0x12);
const QColor kRed(0xd3, 0x2f, 0x2f);
const QColor kGreen(0x2e, 0x9d, 0x46);
const QColor kGrey(0x8a, 0x96, 0xa3);

QPixmap Transparent(int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

void Disc(QPainter& p, const QRectF& box, const QColor& colour) {
  p.setPen(QPen(colour.darker(130), 1.5));
  p.setBrush(colour);
  p.drawEllipse(box);
}

void Triangle(QPainter& p, const QRectF& box, const QColor& colour) {
  QPainterPath path;
  path.moveTo(box.center().x(), box.top());
  path.lineTo(box.right(), box.bottom());
  path.lineTo(box.left(), box.bottom());
  path.closeSubpath();
  p.setPen(QPen(colour.darker(130), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(colour);
  p.drawPath(path);
}

void Letter(QPainter& p, const QRectF& box, const QString& letter, int pixelSize) {
  QFont font(QStringLiteral("Sans Serif"));
  font.setBold(true);
  font.setPixelSize(pixelSize);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(box, Qt::AlignCenter, letter);
}

void Cross(QPainter& p, const QRectF& box) {
  p.setPen(QPen(Qt::white, box.width() / 8, Qt::SolidLine, Qt::RoundCap));
  const QRectF inner = box.adjusted(box.width() * 0.32, box.height() * 0.32, -box.width() * 0.32,
                                    -box.height() * 0.32);
  p.drawLine(inner.topLeft(), inner.bottomRight());
  p.drawLine(inner.topRight(), inner.bottomLeft());
}

QPixmap DiscIcon(const QColor& colour, const QString& letter) {
  QPixmap pixmap = Transparent(50, 50);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF box(3, 3, 44, 44);
  Disc(p, box, colour);
  if (letter.isEmpty()) {
    Cross(p, box);
  } else {
    Letter(p, box, letter, 30);
  }
  return pixmap;
}

QPixmap TriangleIcon(const QColor& colour) {
  QPixmap pixmap = Transparent(50, 50);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  Triangle(p, QRectF(3, 4, 44, 40), colour);
  Letter(p, QRectF(3, 14, 44, 30), QStringLiteral("!"), 26);
  return pixmap;
}

}  // namespace

QPixmap NoticeIconPixmap(NoticeKind kind) {
  switch (kind) {
    case NoticeKind::Warning: return TriangleIcon(kOrange);
    case NoticeKind::Error: return DiscIcon(kRed, QString());
    case NoticeKind::Alert: return TriangleIcon(kRed);
    case NoticeKind::Information: break;
  }
  return DiscIcon(kBlue, QStringLiteral("i"));
}

QPixmap QuestionIconPixmap(QuestionIcon icon) {
  switch (icon) {
    case QuestionIcon::Warning: return TriangleIcon(kOrange);
    case QuestionIcon::Alert: return TriangleIcon(kRed);
    case QuestionIcon::Question: break;
  }
  return DiscIcon(kBlue, QStringLiteral("?"));
}

QPixmap StatusIconPixmap(imagelist::ImageStatus status) {
  QPixmap pixmap = Transparent(22, 20);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF box(3, 2, 16, 16);
  switch (status) {
    case imagelist::ImageStatus::Converted: {
      Disc(p, box, kGreen);
      p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      const QPointF tick[] = {{7, 10}, {10, 13}, {15, 7}};
      p.drawPolyline(tick, 3);
      break;
    }
    case imagelist::ImageStatus::Failed:
      Disc(p, box, kRed);
      Cross(p, box);
      break;
    case imagelist::ImageStatus::Processing:
      Disc(p, box, kBlue);
      p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
      p.drawArc(box.adjusted(4, 4, -4, -4), 90 * 16, 270 * 16);
      break;
    case imagelist::ImageStatus::Waiting:
      Disc(p, box, kGrey);
      p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(11, 10), QPointF(11, 5.5));
      p.drawLine(QPointF(11, 10), QPointF(14.5, 12));
      break;
  }
  return pixmap;
}

QImage ApplicationGlyphImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);
  // Two pictures folding into a page; the scalable desktop icon is the same drawing.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x9c, 0xc3, 0xee));
  p.drawRoundedRect(QRectF(6, 10, 34, 28), 3, 3);
  p.setBrush(QColor(0x5a, 0x9b, 0xe0));
  p.drawRoundedRect(QRectF(14, 18, 34, 28), 3, 3);
  p.setBrush(Qt::white);
  p.setPen(QPen(kBlue, 2));
  p.drawRoundedRect(QRectF(26, 24, 32, 36), 3, 3);
  p.setPen(QPen(kBlue, 2.5, Qt::SolidLine, Qt::RoundCap));
  for (int y : {34, 41, 48}) p.drawLine(32, y, 52, y);
  return image;
}

QPixmap ApplicationGlyph(int size) { return QPixmap::fromImage(ApplicationGlyphImage(size)); }

QPixmap ShareBadge(QChar letter, QColor colour) {
  QPixmap pixmap = Transparent(16, 16);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawRoundedRect(QRectF(0, 0, 16, 16), 3, 3);
  Letter(p, QRectF(0, 1, 16, 16), QString(letter), 12);
  return pixmap;
}

}  // namespace app
