#include "app/StatusBar.h"

#include <QPainter>
#include <QStyleOption>

namespace app {

TStatusBar::TStatusBar(std::vector<int> panelWidths, QWidget* parent) : QWidget(parent), widths_(std::move(panelWidths)) {
  setObjectName(QStringLiteral("sStatusBar1"));
  setFixedHeight(24);
}

int TStatusBar::PanelLeft(int panel) const {
  int left = 0;
  for (int i = 0; i < panel; ++i) left += PanelWidth(i);
  return left;
}

void TStatusBar::SetPanelWidth(int panel, int width) {
  widths_.at(static_cast<std::size_t>(panel)) = width;
  update();
}

void TStatusBar::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  QStyleOption option;
  option.initFrom(this);
  style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
  painter.setPen(QColor(0xa9, 0xc1, 0xde));
  painter.drawLine(0, 0, width(), 0);
  int x = 0;
  for (int panel = 0; panel + 1 < PanelCount(); ++panel) {
    x += PanelWidth(panel);
    painter.drawLine(x - 1, 4, x - 1, height() - 4);
  }
}

}  // namespace app
