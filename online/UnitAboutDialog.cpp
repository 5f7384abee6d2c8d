#include "online/UnitAboutDialog.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <memory>

#include "platform/uConst.h"

namespace online {

QLabel* ClickableLabel(const QString& objectName, const QString& text, QWidget* parent, QObject* filter) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(objectName);
  label->setCursor(Qt::PointingHandCursor);
  label->installEventFilter(filter);
  return label;
}

std::string AboutDescription() {
  // Kept in two parts and joined when shown.
  const std::string first = "Turns raster images (BMP, GIF, JPEG, JPEG 2000,|PCX, PNG, PSD) ";
  const std::string second = "into one PDF document,|one page per image.";
  std::string text = first + second;
  std::string withBreaks;
  for (const char c : text) withBreaks += c == '|' ? std::string("\r\n") : std::string(1, c);
  return withBreaks;
}

QPixmap LogoPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(QColor(0x2a, 0x6f, 0xc9));
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(QRectF(4, 4, size - 8, size - 8), size / 8.0, size / 8.0);
  painter.setBrush(Qt::white);
  const double s = size / 100.0;
  painter.drawPolygon(QPolygonF({{30 * s, 22 * s}, {62 * s, 22 * s}, {72 * s, 32 * s}, {72 * s, 78 * s}, {30 * s, 78 * s}}));
  return pixmap;
}

TAboutDialog::TAboutDialog(QWidget* owner) : QDialog(owner) {
  const platform::BuiltInTexts& t = platform::Texts();
  setObjectName(QStringLiteral("TAboutDialog"));
  setWindowTitle(QString::fromStdString("About " + t.productName));
  setFixedSize(390, 197);

  auto* bevel = new QFrame(this);
  bevel->setFrameShape(QFrame::Panel);
  bevel->setFrameShadow(QFrame::Raised);
  bevel->setGeometry(12, 12, 108, 108);
  ImageLogo = ClickableLabel(QStringLiteral("ImageLogo"), {}, bevel, this);
  ImageLogo->setPixmap(LogoPixmap(100));
  ImageLogo->setGeometry(4, 4, 100, 100);

  sLabelName = ClickableLabel(QStringLiteral("sLabelName"), QString::fromStdString(t.productName + " " + t.productVersion),
                              this, this);
  QFont bold(QStringLiteral("Segoe UI"));
  bold.setPixelSize(12);
  bold.setBold(true);
  sLabelName->setFont(bold);
  sLabelName->move(136, 14);
  sLabelRights = ClickableLabel(QStringLiteral("sLabelRights"),
                                QString::fromStdString("Copyright \u00a9 " + t.makerName + ". All rights reserved."), this,
                                this);
  sLabelRights->move(136, 36);
  sLabelWebpage = ClickableLabel(QStringLiteral("sLabelWebpage"), QString::fromStdString(t.productWebPage), this, this);
  sLabelWebpage->move(136, 54);
  sLabelDescription = ClickableLabel(QStringLiteral("sLabelDescription"),
                                     QString::fromStdString(AboutDescription()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                                     this, this);
  sLabelDescription->move(136, 80);
  for (QLabel* label : {sLabelName, sLabelRights, sLabelWebpage, sLabelDescription}) label->adjustSize();

  sButtonOK = new QPushButton(QStringLiteral("OK"), this);
  sButtonOK->setObjectName(QStringLiteral("sButtonOK"));
  sButtonOK->setGeometry(390 - 80 - 12, 197 - 28 - 12, 80, 28);
  sButtonOK->setDefault(true);
  connect(sButtonOK, &QPushButton::clicked, this, &QDialog::accept);
}

bool TAboutDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    for (QLabel* label : {ImageLogo, sLabelName, sLabelRights, sLabelWebpage, sLabelDescription}) {
      if (watched == label) {
        DialogResultText = kGotoWeb;
        accept();
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void ShowAboutBox(QWidget* owner, const std::function<void(const std::string&)>& openInShell) {
  const auto dialog = std::make_unique<TAboutDialog>(owner);
  dialog->exec();
  if (dialog->DialogResultText == kGotoWeb && openInShell) openInShell(platform::Texts().productWebPage);
}

}  // namespace online
