#include "preview/ImageView.h"

#include <QPainter>

#include "preview/PreviewImage.h"

namespace preview {

TImage32View::TImage32View(QColor background, QWidget* parent) : QWidget(parent), background_(background) {
  setObjectName(QStringLiteral("tImage32Preview"));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

// A new bitmap is scaled when its factor is set (or at the next paint), so a load that sets
// both resamples the image once.
void TImage32View::SetBitmap(QImage bitmap) {
  bitmap_ = std::move(bitmap);
  scaled_ = QImage();
  stale_ = true;
  update();
}

void TImage32View::SetScale(float scale) {
  if (scale == scale_ && !stale_) return;
  scale_ = scale;
  Rescale();
  update();
}

void TImage32View::Rescale() {
  scaled_ = ScaledForView(bitmap_, scale_, background_);
  stale_ = false;
}

QRect TImage32View::ImageRect() const {
  QRect rect(QPoint(0, 0), ScaledSize(bitmap_.size(), scale_));
  rect.moveCenter(this->rect().center());
  return rect;
}

void TImage32View::paintEvent(QPaintEvent* /*event*/) {
  if (stale_) Rescale();
  QPainter painter(this);
  painter.fillRect(rect(), background_);
  if (!scaled_.isNull()) painter.drawImage(ImageRect().topLeft(), scaled_);
}

void TImage32View::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (onResize_) onResize_();
}

}  // namespace preview
