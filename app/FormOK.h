// The notice dialog: an icon, one or two lines of text and an OK button.
#pragma once

#include <QPushButton>

#include "app/DialogFrame.h"
#include "app/Glyphs.h"

namespace app {

class TOkDialog : public TDialogFrame {
  Q_OBJECT
 public:
  // The message is split at its first CR LF: the rest goes on the second line.
  TOkDialog(const QString& title, const QString& message, NoticeKind kind);

  QLabel* FirstLabel() const { return label1_; }
  QLabel* SecondLabel() const { return label2_; }
  QPushButton* OkButton() const { return ok_; }

 private:
  QLabel* label1_;
  QLabel* label2_;
  QPushButton* ok_;
};

}  // namespace app
