#include "app/Skin.h"

namespace app {

QString BlueSkinStyleSheet() {
  // Muted blues: the skin's saturation is lowered a little so that pictures stand out.
  return QStringLiteral(R"(
QWidget { color: #1d2b3a; }
QWidget#TMainForm, QDialog, QWidget#sPanelDialog { background: #e3ecf7; }
QWidget#sPanelTitle {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3f78bd, stop:1 #2b5f9f);
}
QWidget#sPanelTitle QLabel { color: white; font-weight: bold; }
QLabel#TacTitleBarItemNewVersion { color: #ffe38a; }
QWidget#sPanelTitle QToolButton {
  color: white; background: transparent; border: 1px solid transparent; border-radius: 3px; padding: 1px 6px;
}
QWidget#sPanelTitle QToolButton:hover { background: rgba(255, 255, 255, 40); border-color: rgba(255, 255, 255, 90); }
QWidget#sPanelTop {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #edf3fb, stop:1 #d5e3f3);
  border-bottom: 1px solid #a9c1de;
}
QWidget#sPanelLeft, QWidget#sPanelRight, QWidget#sPanelBottom { background: #e3ecf7; }
QPushButton, QToolButton {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfdff, stop:1 #d3e2f4);
  border: 1px solid #8eaed4; border-radius: 3px; padding: 2px 4px;
}
QPushButton:hover, QToolButton:hover {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #e1ecf9); border-color: #5b8fcb;
}
QPushButton:pressed, QToolButton:pressed { background: #bcd2ec; }
QToolButton[popupMode="1"] { padding-right: 18px; }
QToolButton::menu-button { border: none; border-left: 1px solid #8eaed4; width: 16px; }
QPushButton:default { border: 1px solid #3f78bd; }
QPushButton:disabled, QToolButton:disabled { color: #8a99aa; background: #e6edf5; border-color: #b9c9dc; }
QGroupBox {
  border: 1px solid #a9c1de; border-radius: 4px; margin-top: 8px; background: #eaf1f9;
}
QGroupBox::title {
  subcontrol-origin: margin; left: 8px; padding: 0 3px; color: #24568f; font-weight: bold;
}
QLineEdit {
  background: white; border: 1px solid #a0bbdb; border-radius: 2px; padding: 1px 3px;
  selection-background-color: #3f78bd;
}
QLineEdit:focus { border-color: #3f78bd; }
QLineEdit:disabled { background: #eef2f7; color: #8a99aa; }
QTableView#sListViewImages {
  border: 1px solid #a0bbdb; gridline-color: #d4e0ee;
  selection-background-color: #3f78bd; selection-color: white;
}
QHeaderView::section {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f7faff, stop:1 #dbe7f5);
  border: none; border-right: 1px solid #b3c9e3; border-bottom: 1px solid #a0bbdb; padding: 3px 2px;
}
QSplitter::handle { background: #d3e1f2; }
QWidget#sPanelContent { background: #f5f9fe; border: 1px solid #a0bbdb; color: #6b7f96; }
QWidget#sStatusBar1 {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e6eef9, stop:1 #cbdcf0);
}
QLabel#sLabelFXWebpage { color: #24568f; }
QProgressBar { border: 1px solid #8eaed4; border-radius: 2px; background: white; text-align: center; height: 14px; }
QProgressBar::chunk { background: #4f8ad0; }
QToolTip { background: #fbfdff; color: #1d2b3a; border: 1px solid #8eaed4; padding: 4px; max-width: 400px; }
)");
}

}  // namespace app
