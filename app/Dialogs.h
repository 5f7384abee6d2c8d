// Every message of the running application goes through ShowNotice and AskYesNo. The modal
// dialogs behind them form a layer that tests replace with scripted answers.
#pragma once

#include <QString>

#include "app/Glyphs.h"

namespace app {

class DialogLayer {
 public:
  virtual ~DialogLayer() = default;
  virtual void ShowNotice(const QString& title, const QString& message, NoticeKind kind) = 0;
  // "yes" when the user confirmed, empty otherwise.
  virtual QString AskYesNo(const QString& title, const QString& line1, const QString& line2, QuestionIcon icon,
                           bool okCancel) = 0;
};

// Installs a layer and returns the one it replaces; nullptr restores the modal dialogs.
DialogLayer* SetDialogLayer(DialogLayer* layer);

void ShowNotice(const QString& title, const QString& message, NoticeKind kind);
// Callers compare the answer with "yes" exactly.
QString AskYesNo(const QString& title, const QString& line1, const QString& line2,
                 QuestionIcon icon = QuestionIcon::Question, bool okCancel = false);

}  // namespace app
