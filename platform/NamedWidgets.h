// Small helpers for building forms in code: every control carries its name as objectName,
// which the style sheet and the tests address.
#pragma once

#include <QString>
#include <QWidget>

namespace platform {

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

// A plain container that paints the background its style sheet gives it.
inline QWidget* Panel(const char* name, QWidget* parent) {
  QWidget* panel = Named(new QWidget(parent), name);
  panel->setAttribute(Qt::WA_StyledBackground);
  return panel;
}

}  // namespace platform
