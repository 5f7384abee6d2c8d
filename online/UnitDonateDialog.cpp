#include "online/UnitDonateDialog.h"

#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <memory>

#include "online/UnitAboutDialog.h"
#include "platform/uConst.h"

namespace online {

int CentredLeft(int dialogWidth, int buttonWidth) {
  const int twice = dialogWidth - buttonWidth;
  int half = twice / 2;
  if (twice % 2 != 0 && half % 2 != 0) half += twice > 0 ? 1 : -1;
  return half;
}

TDonateDialog::TDonateDialog() : QDialog(nullptr) {
  const platform::BuiltInTexts& t = platform::Texts();
  setObjectName(QStringLiteral("TDonateDialog"));
  setWindowTitle(QString::fromStdString("Donate " + t.productName));
  setFixedSize(450, 234);

  auto* frame = new QFrame(this);
  frame->setFrameShape(QFrame::StyledPanel);
  frame->setGeometry(12, 12, 426, 140);
  auto clickable = [this, frame](const char* name, const QString& text) {
    return ClickableLabel(QString::fromLatin1(name), text, frame, this);
  };
  ImageLogo = clickable("ImageLogo", {});
  ImageLogo->setPixmap(LogoPixmap(100));
  ImageLogo->setGeometry(12, 20, 100, 100);
  sLabelName = clickable("sLabelName", {});
  QFont bold = sLabelName->font();
  bold.setBold(true);
  sLabelName->setFont(bold);
  sLabelName->move(128, 20);
  sLabelFirst = clickable("sLabelFirst", QStringLiteral("Donate this free software!"));
  sLabelFirst->move(128, 46);
  const std::string second = "If you like " + t.productName + " you may like to\r\n" +
                             "donate the very small sum on PayPal to help us keep\r\n" +
                             "developing and updating. Thank you!\r\n";
  sLabelSecond = clickable("sLabelSecond", QString::fromStdString(second));
  sLabelSecond->setText(sLabelSecond->text().replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed());
  sLabelSecond->move(128, 70);
  sLabelFirst->adjustSize();
  sLabelSecond->adjustSize();

  sButtonDonation = new QPushButton(QStringLiteral("Donation"), this);
  sButtonDonation->setObjectName(QStringLiteral("sButtonDonation"));
  sButtonDonation->resize(110, 32);
  connect(sButtonDonation, &QPushButton::clicked, this, &TDonateDialog::GoToWeb);
}

void TDonateDialog::GoToWeb() {
  DialogResultText = kGotoWeb;
  accept();
}

void TDonateDialog::showEvent(QShowEvent* event) {
  const platform::BuiltInTexts& t = platform::Texts();
  sLabelName->setText(QString::fromStdString(t.productName + " " + t.productVersion));
  sLabelName->adjustSize();
  sButtonDonation->move(CentredLeft(width(), sButtonDonation->width()), height() - sButtonDonation->height() - 42);
  sButtonDonation->setFocus();
  QDialog::showEvent(event);
}

void TDonateDialog::keyPressEvent(QKeyEvent* event) {
  // The "Donation" button is the cancel button, so Escape presses it; the close box does not.
  if (event->key() == Qt::Key_Escape) {
    GoToWeb();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool TDonateDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      (watched == ImageLogo || watched == sLabelName || watched == sLabelFirst || watched == sLabelSecond)) {
    GoToWeb();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void ShowDonateBox(QWidget* mainWindow, const std::function<void(const std::string&)>& openInShell) {
  const auto dialog = std::make_unique<TDonateDialog>();
  if (mainWindow != nullptr) dialog->move(mainWindow->geometry().center() - dialog->rect().center());
  dialog->exec();
  if (dialog->DialogResultText == kGotoWeb && openInShell) openInShell(platform::Texts().donationPage);
}

}  // namespace online
