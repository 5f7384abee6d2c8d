// The image view of the preview: its bitmap drawn centred at the view's scale factor, over the
// view's background colour.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>
#include <functional>

namespace preview {

class TImage32View : public QWidget {
 public:
  TImage32View(QColor background, QWidget* parent);

  // The full-size bitmap; an empty image empties the view.
  void SetBitmap(QImage bitmap);
  const QImage& Bitmap() const { return bitmap_; }
  QColor Background() const { return background_; }

  // Scales the bitmap once per change of factor, not on every paint.
  void SetScale(float scale);
  float Scale() const { return scale_; }
  // Where the scaled bitmap is drawn, in the view's coordinates.
  QRect ImageRect() const;

  void SetResizeHandler(std::function<void()> handler) { onResize_ = std::move(handler); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Rescale();

  QColor background_;
  QImage bitmap_;
  QImage scaled_;
  float scale_ = 1.0f;
  bool stale_ = false;
  std::function<void()> onResize_;
};

}  // namespace preview
