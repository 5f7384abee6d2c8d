// The main window's side of the new-version check: the question and the blinking title-bar
// notice that repeats it when clicked.
#pragma once

#include <QObject>
#include <functional>
#include <string>

class QTimer;
class QWidget;

namespace online {

// The window's dialogs and shell, as the online services use them.
struct OnlineDialogs {
  // True only when the user confirmed (the answer was "yes").
  std::function<bool(const std::string& title, const std::string& line1, const std::string& line2)> askYesNo;
  std::function<void(const std::string& target)> openInShell;
};

class TNewVersionNotice : public QObject {
  Q_OBJECT
 public:
  // item is the hidden title-bar notice, timer the 500 ms blinker; both stay the window's.
  TNewVersionNotice(QWidget* item, QTimer* timer, OnlineDialogs dialogs, QObject* parent = nullptr);

  // Asks whether to upgrade (opening the product web page on "yes") and starts the blinking.
  void Announce();
  int BlinkCount() const { return blinkCount_; }

  void TimerNewVersionBlinkerTimer();
  void sTitleBar1Items1MouseEnter();
  void sTitleBar1Items1MouseLeave();
  void sTitleBar1Items1MouseUp();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AskUpgrade();

  QWidget* item_;
  QTimer* timer_;
  OnlineDialogs dialogs_;
  int blinkCount_ = -1;  // never reset: a restarted blink ends after one more tick
};

}  // namespace online
