// The donation box: everything in it, and the Escape key, goes to the donation page; only the
// close box leaves without.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace online {

// round((dialog − button) / 2) with halves to the even neighbour.
int CentredLeft(int dialogWidth, int buttonWidth);

class TDonateDialog : public QDialog {
  Q_OBJECT
 public:
  TDonateDialog();

  std::string DialogResultText;

  QLabel* ImageLogo;
  QLabel* sLabelName;
  QLabel* sLabelFirst;
  QLabel* sLabelSecond;
  QPushButton* sButtonDonation;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void GoToWeb();
};

// sBitBtnDonateClick: shows the box modally, centred over mainWindow but not owned by it, and
// opens the donation page after "gotoweb".
void ShowDonateBox(QWidget* mainWindow, const std::function<void(const std::string&)>& openInShell);

}  // namespace online
