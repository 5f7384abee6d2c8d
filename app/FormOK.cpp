#include "app/FormOK.h"

#include "app/DialogGeometry.h"

namespace app {

namespace {
constexpr QSize kClient{295, 112};
constexpr QPoint kLabel1{80, 24};
constexpr QPoint kLabel2{80, 40};
}  // namespace

TOkDialog::TOkDialog(const QString& title, const QString& message, NoticeKind kind)
    : TDialogFrame(title, kClient),
      label1_(MakeTextLabel(QStringLiteral("sLabelText1"), kLabel1)),
      label2_(MakeTextLabel(QStringLiteral("sLabelText2"), kLabel2)),
      ok_(new QPushButton(QStringLiteral("OK"), Panel())) {
  auto* icon = new QLabel(Panel());
  icon->setObjectName(QStringLiteral("sImageIcon"));
  icon->setGeometry(16, 16, 50, 50);
  icon->setPixmap(NoticeIconPixmap(kind));

  ok_->setObjectName(QStringLiteral("sButtonOK"));
  ok_->resize(kDialogButton);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

  const SplitMessage text = SplitAtFirstCrLf(message);
  label1_->setText(text.first);
  label2_->resize(kEmptyLabelWidth, label2_->height());
  label2_->hide();
  int label2Width = kEmptyLabelWidth;
  if (text.hasRest) {
    label1_->move(kLabel1 - QPoint(0, 4));
    label2_->move(kLabel2 - QPoint(0, 2));
    label2_->setText(text.rest);
    label2_->show();
    label2Width = FittedWidth(label2_);
  }
  const NoticeGeometry geometry = LayoutNotice(FittedWidth(label1_), label2Width, kLabel1.x(),
                                               kClient.height() + kNominalFrame.height());
  ApplyOuterSize(geometry.outer);
  ok_->move(geometry.okButton);
  ok_->setFocus();
}

}  // namespace app
