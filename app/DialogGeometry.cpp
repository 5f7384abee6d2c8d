#include "app/DialogGeometry.h"

#include <algorithm>

#include "app/Rounding.h"

namespace app {

namespace {
constexpr int kRightMargin = 24;
constexpr int kButtonGap = 8;
constexpr int kButtonPairWidth = 2 * kDialogButton.width() + kButtonGap;

int ButtonTop(int outerHeight) { return outerHeight - kDialogButton.height() - 44; }
}  // namespace

SplitMessage SplitAtFirstCrLf(const QString& message) {
  const qsizetype at = message.indexOf(QStringLiteral("\r\n"));
  if (at < 0) return {message, QString(), false};
  return {message.left(at), message.mid(at + 2), true};
}

NoticeGeometry LayoutNotice(int label1Width, int label2Width, int label1Left, int outerHeight) {
  const int width = std::max(label1Width, label2Width) + label1Left + kRightMargin;
  return {QSize(width, outerHeight),
          QPoint(width - kDialogButton.width() - 42, ButtonTop(outerHeight))};
}

QuestionGeometry LayoutQuestion(int label1Width, int label2Width, int label1Left, int outerHeight) {
  // The button pair is centred under the labels; labels narrower than the pair would push the
  // buttons out of the window, so they count as at least as wide as the pair.
  const int labels = std::max({label1Width, label2Width, kButtonPairWidth});
  const int width = labels + label1Left + kRightMargin;
  const int confirmLeft = label1Left + RoundHalfEven((labels - kButtonPairWidth) / 2.0) - 2;
  const int top = ButtonTop(outerHeight);
  return {QSize(width, outerHeight), QPoint(confirmLeft, top),
          QPoint(confirmLeft + kDialogButton.width() + kButtonGap, top)};
}

}  // namespace app
