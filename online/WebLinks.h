// The window's ways to the maker's web pages: About, Donate and Help buttons, the footer label
// and the four share links.
#pragma once

#include <QObject>
#include <functional>
#include <string>

class QAbstractButton;
class QWidget;

namespace online {

std::string FacebookShareAddress();
std::string TwitterShareAddress();

struct WebLinkParts {
  QWidget* mainWindow = nullptr;
  QAbstractButton* sBitBtnAbout = nullptr;
  QAbstractButton* sBitBtnDonate = nullptr;
  QAbstractButton* sBitBtnHelp = nullptr;
  QWidget* sLabelFXWebpage = nullptr;
  QWidget* TsTitleButtonFB = nullptr;  // react to the release of any mouse button
  QWidget* TsTitleButtonTW = nullptr;
  QWidget* ImageFB = nullptr;          // react to a click
  QWidget* ImageTW = nullptr;
};

class TWebLinks : public QObject {
  Q_OBJECT
 public:
  TWebLinks(WebLinkParts parts, std::function<void(const std::string&)> openInShell, QObject* parent = nullptr);

  void sBitBtnAboutClick();
  void sBitBtnDonateClick();
  void sBitBtnHelpClick();
  void ClickWebpageFX();
  void ShareOnFacebook();
  void ShareOnTwitter();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  WebLinkParts parts_;
  std::function<void(const std::string&)> openInShell_;
};

}  // namespace online
