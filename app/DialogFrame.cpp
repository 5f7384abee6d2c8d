#include "app/DialogFrame.h"

#include <QGraphicsDropShadowEffect>
#include <QGuiApplication>
#include <QScreen>

#include "app/DialogGeometry.h"
#include "app/Skin.h"
#include "app/uCommon.h"

namespace app {

TDialogFrame::TDialogFrame(const QString& title, QSize clientSize)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      panel_(new QWidget(this)) {
  setWindowTitle(title);
  setStyleSheet(BlueSkinStyleSheet());
  setModal(true);
  panel_->setObjectName(QStringLiteral("sPanelDialog"));
  panel_->setAttribute(Qt::WA_StyledBackground);
  setFixedSize(clientSize);
  panel_->resize(clientSize);
}

QSize TDialogFrame::OuterSize() const { return size() + kNominalFrame; }

void TDialogFrame::ApplyOuterSize(QSize outer) {
  const QSize client = outer - kNominalFrame;
  setFixedSize(client);
  panel_->resize(client);
  QRect area;
  if (QWidget* owner = NotifyWindow()) {
    area = owner->frameGeometry();
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    area = screen->availableGeometry();
  }
  if (area.isValid()) move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
}

QLabel* TDialogFrame::MakeTextLabel(const QString& objectName, QPoint position) {
  auto* label = new QLabel(panel_);
  label->setObjectName(objectName);
  QFont font(QStringLiteral("Segoe UI"));
  font.setPixelSize(12);
  label->setFont(font);
  auto* shadow = new QGraphicsDropShadowEffect(label);
  shadow->setBlurRadius(4);
  shadow->setOffset(1, 1);
  shadow->setColor(QColor(0, 0, 0, 60));
  label->setGraphicsEffect(shadow);
  label->move(position);
  return label;
}

int FittedWidth(QLabel* label) {
  label->adjustSize();
  return label->width();
}

}  // namespace app
