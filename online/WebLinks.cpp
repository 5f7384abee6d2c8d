#include "online/WebLinks.h"

#include <QAbstractButton>
#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

#include "online/UnitAboutDialog.h"
#include "online/UnitDonateDialog.h"
#include "platform/uConst.h"

namespace online {

std::string FacebookShareAddress() { return platform::Texts().productWebPage + platform::Texts().facebookShareSuffix; }

std::string TwitterShareAddress() { return platform::Texts().productWebPage + platform::Texts().twitterShareSuffix; }

TWebLinks::TWebLinks(WebLinkParts parts, std::function<void(const std::string&)> openInShell, QObject* parent)
    : QObject(parent), parts_(parts), openInShell_(std::move(openInShell)) {
  if (parts_.sBitBtnAbout) connect(parts_.sBitBtnAbout, &QAbstractButton::clicked, this, &TWebLinks::sBitBtnAboutClick);
  if (parts_.sBitBtnDonate)
    connect(parts_.sBitBtnDonate, &QAbstractButton::clicked, this, &TWebLinks::sBitBtnDonateClick);
  if (parts_.sBitBtnHelp) connect(parts_.sBitBtnHelp, &QAbstractButton::clicked, this, &TWebLinks::sBitBtnHelpClick);
  for (QWidget* widget : {parts_.sLabelFXWebpage, parts_.TsTitleButtonFB, parts_.TsTitleButtonTW, parts_.ImageFB,
                          parts_.ImageTW}) {
    if (widget == nullptr) continue;
    widget->setCursor(Qt::PointingHandCursor);
    widget->installEventFilter(this);
  }
  if (parts_.ImageFB) parts_.ImageFB->setToolTip(QStringLiteral("Share on Facebook"));
  if (parts_.ImageTW) parts_.ImageTW->setToolTip(QStringLiteral("Share on Twitter"));
}

void TWebLinks::sBitBtnAboutClick() { ShowAboutBox(parts_.mainWindow, openInShell_); }

void TWebLinks::sBitBtnDonateClick() { ShowDonateBox(parts_.mainWindow, openInShell_); }

void TWebLinks::sBitBtnHelpClick() { openInShell_(platform::Texts().productWebPage); }

void TWebLinks::ClickWebpageFX() { openInShell_(platform::Texts().productWebPage); }

void TWebLinks::ShareOnFacebook() { openInShell_(FacebookShareAddress()); }

void TWebLinks::ShareOnTwitter() { openInShell_(TwitterShareAddress()); }

bool TWebLinks::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseButtonRelease) return QObject::eventFilter(watched, event);
  auto* widget = static_cast<QWidget*>(watched);
  // A release outside the element (the press began on it and the mouse moved away) is no click.
  if (!widget->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
    return QObject::eventFilter(watched, event);
  if (watched == parts_.sLabelFXWebpage) {
    ClickWebpageFX();
  } else if (watched == parts_.TsTitleButtonFB || watched == parts_.ImageFB) {
    ShareOnFacebook();
  } else if (watched == parts_.TsTitleButtonTW || watched == parts_.ImageTW) {
    ShareOnTwitter();
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace online
