// What the notice and question dialogs share: the fixed frame, the shadowed labels and the
// placement over the main window.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QSize>

namespace app {

// A fixed-size dialog with a close box, drawn on one panel filling its client area.
class TDialogFrame : public QDialog {
  Q_OBJECT
 public:
  TDialogFrame(const QString& title, QSize clientSize);

  // Outer size in the dialogs' own terms (client area plus the nominal frame).
  QSize OuterSize() const;
  // Sets the client area from an outer size and centres the dialog over the main window, or
  // on the screen when there is none.
  void ApplyOuterSize(QSize outer);

 protected:
  QWidget* Panel() const { return panel_; }
  QLabel* MakeTextLabel(const QString& objectName, QPoint position);

 private:
  QWidget* panel_;
};

// Width a label takes for its text once it has sized itself.
int FittedWidth(QLabel* label);

}  // namespace app
