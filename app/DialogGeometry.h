// Placement rules of the notice and question dialogs, apart from any widget so that they can be
// checked directly. Widths and heights are the dialog's outer size: the rules were made for a
// window whose frame is part of its size, so the dialogs add a nominal frame to their client area.
#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

namespace app {

// Frame of the window the rules were made for: borders left and right, title bar and borders.
inline constexpr QSize kNominalFrame{16, 39};
inline constexpr QSize kDialogButton{80, 28};
// A label that gets no text keeps its design width.
inline constexpr int kEmptyLabelWidth = 38;

struct SplitMessage {
  QString first;
  QString rest;  // empty when the message has no CR LF
  bool hasRest = false;
};

// Splits at the first CR LF; later line breaks stay in the rest.
SplitMessage SplitAtFirstCrLf(const QString& message);

struct NoticeGeometry {
  QSize outer;
  QPoint okButton;  // in client coordinates
};

// label1Left is 80 in the notice dialog; outerHeight is the client height plus the frame.
NoticeGeometry LayoutNotice(int label1Width, int label2Width, int label1Left, int outerHeight);

struct QuestionGeometry {
  QSize outer;
  QPoint confirmButton;
  QPoint refuseButton;
};

QuestionGeometry LayoutQuestion(int label1Width, int label2Width, int label1Left, int outerHeight);

}  // namespace app
