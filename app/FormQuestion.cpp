#include "app/FormQuestion.h"

#include <QApplication>
#include <QKeyEvent>

#include "app/DialogGeometry.h"

namespace app {

namespace {
constexpr QSize kClient{295, 122};
constexpr QPoint kLabel1{84, 20};
constexpr QPoint kLabel2{84, 40};

QString& Answer() {
  static QString answer;
  return answer;
}
}  // namespace

const QString& QuestionAnswer() { return Answer(); }

TQuestionDialog::TQuestionDialog(const QString& title, const QString& line1, const QString& line2,
                                 QuestionIcon icon, bool okCancel)
    : TDialogFrame(title, kClient),
      label1_(MakeTextLabel(QStringLiteral("sLabelText1"), kLabel1)),
      label2_(MakeTextLabel(QStringLiteral("sLabelText2"), kLabel2)),
      confirm_(new QPushButton(okCancel ? QStringLiteral("OK") : QStringLiteral("Yes"), Panel())),
      refuse_(new QPushButton(okCancel ? QStringLiteral("Cancel") : QStringLiteral("No"), Panel())) {
  Answer().clear();
  auto* picture = new QLabel(Panel());
  picture->setObjectName(QStringLiteral("sImageIcon"));
  picture->setGeometry(16, 16, 50, 50);
  picture->setPixmap(QuestionIconPixmap(icon));

  confirm_->setObjectName(QStringLiteral("sButtonYes"));
  refuse_->setObjectName(QStringLiteral("sButtonNo"));
  confirm_->resize(kDialogButton);
  refuse_->resize(kDialogButton);
  confirm_->setDefault(true);
  connect(confirm_, &QPushButton::clicked, this, [this] {
    Answer() = QStringLiteral("yes");
    accept();
  });
  connect(refuse_, &QPushButton::clicked, this, [this] {
    Answer().clear();
    reject();
  });

  label1_->setText(line1);
  label2_->setText(line2);
  const QuestionGeometry geometry = LayoutQuestion(FittedWidth(label1_), FittedWidth(label2_), kLabel1.x(),
                                                   kClient.height() + kNominalFrame.height());
  ApplyOuterSize(geometry.outer);
  confirm_->move(geometry.confirmButton);
  refuse_->move(geometry.refuseButton);
  qApp->installEventFilter(this);
}

TQuestionDialog::~TQuestionDialog() { qApp->removeEventFilter(this); }

void TQuestionDialog::showEvent(QShowEvent* event) {
  TDialogFrame::showEvent(event);
  confirm_->setFocus();
}

bool TQuestionDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    Answer().clear();
    reject();
    return true;
  }
  return TDialogFrame::eventFilter(watched, event);
}

}  // namespace app
