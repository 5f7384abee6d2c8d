// The question dialog: an icon, two lines of text and a confirm and a refuse button.
#pragma once

#include <QPushButton>

#include "app/DialogFrame.h"
#include "app/Glyphs.h"

namespace app {

class TQuestionDialog : public TDialogFrame {
  Q_OBJECT
 public:
  // Creating a question dialog empties QuestionAnswer().
  TQuestionDialog(const QString& title, const QString& line1, const QString& line2, QuestionIcon icon,
                  bool okCancel);
  ~TQuestionDialog() override;

  QLabel* FirstLabel() const { return label1_; }
  QLabel* SecondLabel() const { return label2_; }
  QPushButton* ConfirmButton() const { return confirm_; }
  QPushButton* RefuseButton() const { return refuse_; }

 protected:
  void showEvent(QShowEvent* event) override;
  // Escape anywhere in the application closes the question unconfirmed while it exists.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* label1_;
  QLabel* label2_;
  QPushButton* confirm_;
  QPushButton* refuse_;
};

// "yes" after the last question was confirmed, empty otherwise.
const QString& QuestionAnswer();

}  // namespace app
