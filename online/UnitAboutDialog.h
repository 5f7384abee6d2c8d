// The about box: product name and version, a notice of rights, the product web page and a
// description; clicking any of them goes to the web page.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace online {

// "gotoweb" when the user clicked through to the web; emptied when a dialog is created.
inline constexpr const char* kGotoWeb = "gotoweb";

// The about box's description: two stored parts joined, every "|" a line break (CR LF).
std::string AboutDescription();

// A logo drawn in code, for the about and donation boxes.
QPixmap LogoPixmap(int size);

// A label of the about and donation boxes: every click on it reaches filter's eventFilter.
QLabel* ClickableLabel(const QString& objectName, const QString& text, QWidget* parent, QObject* filter);

class TAboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutDialog(QWidget* owner);

  std::string DialogResultText;

  QLabel* ImageLogo;
  QLabel* sLabelName;
  QLabel* sLabelRights;
  QLabel* sLabelWebpage;
  QLabel* sLabelDescription;
  QPushButton* sButtonOK;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// sBitBtnAboutClick: shows the box modally and opens the product web page after "gotoweb".
void ShowAboutBox(QWidget* owner, const std::function<void(const std::string&)>& openInShell);

}  // namespace online
