#include "online/NewVersionNotice.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include "platform/uConst.h"

namespace online {

TNewVersionNotice::TNewVersionNotice(QWidget* item, QTimer* timer, OnlineDialogs dialogs, QObject* parent)
    : QObject(parent), item_(item), timer_(timer), dialogs_(std::move(dialogs)) {
  item_->setCursor(Qt::PointingHandCursor);
  item_->setToolTip(QStringLiteral("Click to upgrade software version!"));
  item_->installEventFilter(this);
  connect(timer_, &QTimer::timeout, this, &TNewVersionNotice::TimerNewVersionBlinkerTimer);
}

void TNewVersionNotice::AskUpgrade() {
  const platform::BuiltInTexts& t = platform::Texts();
  if (dialogs_.askYesNo && dialogs_.askYesNo("Software new version available", "Would you like to upgrade for the latest",
                                             " version of " + t.productName + "?")) {
    if (dialogs_.openInShell) dialogs_.openInShell(t.productWebPage);
  }
}

void TNewVersionNotice::Announce() {
  AskUpgrade();
  timer_->start();
}

void TNewVersionNotice::TimerNewVersionBlinkerTimer() {
  item_->setVisible(item_->isHidden());
  ++blinkCount_;
  if (blinkCount_ > 80) {
    item_->setVisible(true);
    timer_->stop();
  }
}

void TNewVersionNotice::sTitleBar1Items1MouseEnter() {
  item_->setVisible(true);
  timer_->stop();
}

void TNewVersionNotice::sTitleBar1Items1MouseLeave() { timer_->start(); }

void TNewVersionNotice::sTitleBar1Items1MouseUp() {
  item_->setVisible(true);
  timer_->stop();
  AskUpgrade();
}

bool TNewVersionNotice::eventFilter(QObject* watched, QEvent* event) {
  if (watched == item_) {
    switch (event->type()) {
      case QEvent::Enter:
        sTitleBar1Items1MouseEnter();
        break;
      case QEvent::Leave:
        sTitleBar1Items1MouseLeave();
        break;
      case QEvent::MouseButtonRelease:
        sTitleBar1Items1MouseUp();
        break;
      default:
        break;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace online
