#include "app/Dialogs.h"

#include "app/FormOK.h"
#include "app/FormQuestion.h"

namespace app {

namespace {

class ModalDialogs final : public DialogLayer {
 public:
  void ShowNotice(const QString& title, const QString& message, NoticeKind kind) override {
    TOkDialog dialog(title, message, kind);
    dialog.exec();
  }

  QString AskYesNo(const QString& title, const QString& line1, const QString& line2, QuestionIcon icon,
                   bool okCancel) override {
    TQuestionDialog dialog(title, line1, line2, icon, okCancel);
    dialog.exec();
    return QuestionAnswer();
  }
};

ModalDialogs& Modal() {
  static ModalDialogs modal;
  return modal;
}

DialogLayer*& Current() {
  static DialogLayer* layer = nullptr;
  return layer;
}

DialogLayer& Layer() { return Current() != nullptr ? *Current() : Modal(); }

}  // namespace

DialogLayer* SetDialogLayer(DialogLayer* layer) {
  DialogLayer* previous = Current();
  Current() = layer;
  return previous;
}

void ShowNotice(const QString& title, const QString& message, NoticeKind kind) {
  Layer().ShowNotice(title, message, kind);
}

QString AskYesNo(const QString& title, const QString& line1, const QString& line2, QuestionIcon icon,
                 bool okCancel) {
  return Layer().AskYesNo(title, line1, line2, icon, okCancel);
}

}  // namespace app
