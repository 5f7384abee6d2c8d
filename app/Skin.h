// The blue skin of every window, as one Qt style sheet.
#pragma once

#include <QColor>
#include <QString>

namespace app {

// The list's plain background colour; the zebra shading is computed from it.
inline const QColor kListBackground{0xf5, 0xf9, 0xfe};

QString BlueSkinStyleSheet();

}  // namespace app
