#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/DialogGeometry.h"
#include "app/Dialogs.h"
#include "app/FormOK.h"
#include "app/FormQuestion.h"

namespace app {
namespace {

TEST(DialogGeometryTest, MessageSplitsAtTheFirstCrLfOnly) {
  struct Case {
    QString message, first, rest;
    bool hasRest;
  };
  const Case cases[] = {
      {"One line", "One line", "", false},
      {"First\r\nSecond\r\nThird", "First", "Second\r\nThird", true},
      {"Lone\nfeed", "Lone\nfeed", "", false},
      {"Ends\r\n", "Ends", "", true},
  };
  for (const Case& c : cases) {
    const SplitMessage split = SplitAtFirstCrLf(c.message);
    EXPECT_EQ(split.first, c.first) << c.message.toStdString();
    EXPECT_EQ(split.rest, c.rest) << c.message.toStdString();
    EXPECT_EQ(split.hasRest, c.hasRest) << c.message.toStdString();
  }
}

TEST(DialogGeometryTest, NoticeWidthAndOkButton) {
  // 200 wide labels: 200 + 80 + 24; OK at width - 80 - 42, height - 28 - 44.
  const NoticeGeometry wide = LayoutNotice(200, kEmptyLabelWidth, 80, 151);
  EXPECT_EQ(wide.outer, QSize(304, 151));
  EXPECT_EQ(wide.okButton, QPoint(182, 79));
  // An empty second line still counts with its 38 pixels.
  EXPECT_EQ(LayoutNotice(20, kEmptyLabelWidth, 80, 151).outer.width(), 142);
  EXPECT_EQ(LayoutNotice(100, 250, 80, 151).outer.width(), 354);
}

TEST(DialogGeometryTest, QuestionButtonsAreCentredWithHalvesToEven) {
  struct Case {
    int widest, width, confirmLeft;
  };
  const Case cases[] = {
      {200, 308, 84 + 16 - 2},  // (200 - 168) / 2 = 16
      {171, 279, 84 + 2 - 2},   // 1.5 rounds to 2
      {173, 281, 84 + 2 - 2},   // 2.5 rounds to 2, the even neighbour
      {175, 283, 84 + 4 - 2},   // 3.5 rounds to 4
      {40, 276, 84 - 2},        // labels narrower than the buttons count as 168 wide
  };
  for (const Case& c : cases) {
    const QuestionGeometry g = LayoutQuestion(c.widest, 10, 84, 161);
    EXPECT_EQ(g.outer, QSize(c.width, 161)) << c.widest;
    EXPECT_EQ(g.confirmButton, QPoint(c.confirmLeft, 161 - 28 - 44)) << c.widest;
    EXPECT_EQ(g.refuseButton, QPoint(c.confirmLeft + 88, 89)) << c.widest;
    // Both buttons stay inside the client area.
    EXPECT_GE(g.confirmButton.x(), 0);
    EXPECT_LE(g.refuseButton.x() + 80, g.outer.width() - kNominalFrame.width()) << c.widest;
  }
}

TEST(OkDialogTest, ThreeLineMessageUsesBothLabels) {
  TOkDialog dialog("Title", "First line\r\nSecond line\r\nThird, a much longer line of text", NoticeKind::Warning);
  EXPECT_EQ(dialog.FirstLabel()->text(), "First line");
  EXPECT_EQ(dialog.SecondLabel()->text(), "Second line\r\nThird, a much longer line of text");
  EXPECT_FALSE(dialog.SecondLabel()->isHidden());
  EXPECT_EQ(dialog.FirstLabel()->pos(), QPoint(80, 20));
  EXPECT_EQ(dialog.SecondLabel()->pos(), QPoint(80, 38));
  const int widest = std::max(dialog.FirstLabel()->width(), dialog.SecondLabel()->width());
  EXPECT_EQ(dialog.SecondLabel()->width(), widest);
  EXPECT_EQ(dialog.OuterSize().width(), widest + 80 + 24);
  EXPECT_EQ(dialog.OkButton()->pos(), QPoint(dialog.OuterSize().width() - 122, dialog.OuterSize().height() - 72));
  EXPECT_EQ(dialog.windowTitle(), "Title");
}

TEST(OkDialogTest, OneLineMessageKeepsTheSecondLabelHidden) {
  TOkDialog dialog("Title", "Only", NoticeKind::Information);
  EXPECT_TRUE(dialog.SecondLabel()->isHidden());
  EXPECT_EQ(dialog.FirstLabel()->pos(), QPoint(80, 24));
  EXPECT_EQ(dialog.OuterSize().width(), std::max(dialog.FirstLabel()->width(), kEmptyLabelWidth) + 104);
}

// Runs AskYesNo with the real modal dialog and acts on it once it is up.
QString AskAndThen(bool okCancel, const std::function<void(TQuestionDialog&)>& act) {
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<TQuestionDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      ADD_FAILURE() << "no question dialog";
      return;
    }
    EXPECT_EQ(dialog->ConfirmButton()->text(), okCancel ? "OK" : "Yes");
    EXPECT_EQ(dialog->RefuseButton()->text(), okCancel ? "Cancel" : "No");
    act(*dialog);
  });
  return AskYesNo("Question", "Line one", "Line two", QuestionIcon::Question, okCancel);
}

TEST(AskYesNoTest, OnlyTheConfirmButtonAnswersYes) {
  const auto confirm = [](TQuestionDialog& d) { QTest::mouseClick(d.ConfirmButton(), Qt::LeftButton); };
  const auto refuse = [](TQuestionDialog& d) { QTest::mouseClick(d.RefuseButton(), Qt::LeftButton); };
  // Escape closes the question wherever it is pressed in the application.
  const auto escapeElsewhere = [](TQuestionDialog&) {
    QWidget elsewhere;
    QTest::keyClick(&elsewhere, Qt::Key_Escape);
  };
  const auto enter = [](TQuestionDialog& d) { QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &d, Qt::Key_Return); };
  const auto closeBox = [](TQuestionDialog& d) { d.close(); };

  EXPECT_EQ(AskAndThen(false, confirm), "yes");
  EXPECT_EQ(AskAndThen(true, confirm), "yes");
  EXPECT_EQ(AskAndThen(false, enter), "yes");
  EXPECT_EQ(AskAndThen(false, refuse), "");
  EXPECT_EQ(AskAndThen(true, escapeElsewhere), "");
  EXPECT_EQ(AskAndThen(false, closeBox), "");
}

TEST(AskYesNoTest, ConfirmTakesTheFocusAndTheAnswerStartsEmpty) {
  EXPECT_EQ(AskAndThen(false, [](TQuestionDialog& d) { QTest::mouseClick(d.ConfirmButton(), Qt::LeftButton); }), "yes");
  TQuestionDialog dialog("T", "a", "b", QuestionIcon::Question, false);
  EXPECT_EQ(QuestionAnswer(), "");
  dialog.show();
  EXPECT_TRUE(dialog.ConfirmButton()->hasFocus() || dialog.focusWidget() == dialog.ConfirmButton());
}

}  // namespace
}  // namespace app
