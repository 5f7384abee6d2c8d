// The window's status bar: panels of set widths side by side, with free-standing children
// (pictures, gauge, labels) placed over them.
#pragma once

#include <QWidget>
#include <vector>

namespace app {

class TStatusBar : public QWidget {
  Q_OBJECT
 public:
  TStatusBar(std::vector<int> panelWidths, QWidget* parent);

  int PanelCount() const { return static_cast<int>(widths_.size()); }
  int PanelWidth(int panel) const { return widths_.at(static_cast<std::size_t>(panel)); }
  int PanelLeft(int panel) const;
  void SetPanelWidth(int panel, int width);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<int> widths_;
};

}  // namespace app
