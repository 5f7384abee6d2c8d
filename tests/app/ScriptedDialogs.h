// A dialog layer that answers from a script and records what was asked.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>

#include "app/Dialogs.h"

namespace app {

class ScriptedDialogs : public DialogLayer {
 public:
  ScriptedDialogs() : previous_(SetDialogLayer(this)) {}
  ~ScriptedDialogs() override { SetDialogLayer(previous_); }
  ScriptedDialogs(const ScriptedDialogs&) = delete;
  ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

  void ShowNotice(const QString& title, const QString& message, NoticeKind) override {
    asked.push_back(title + QLatin1Char('|') + message);
  }

  QString AskYesNo(const QString& title, const QString& line1, const QString& line2, QuestionIcon icon,
                   bool okCancel) override {
    asked.push_back(QStringList{title, line1, line2, QString::number(static_cast<int>(icon)),
                                okCancel ? QStringLiteral("okCancel") : QStringLiteral("yesNo")}
                        .join(QLatin1Char('|')));
    if (answers.empty()) return {};
    QString answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::deque<QString> answers;
  QStringList asked;

 private:
  DialogLayer* previous_;
};

}  // namespace app
