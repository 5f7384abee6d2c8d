// The program's own pictures, drawn in code: dialog icons (50 by 50), list status icons
// (22 by 20) and the application glyph.
#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>

#include "imagelist/ImageEntry.h"

namespace app {

enum class NoticeKind : int { Information = 0, Warning = 1, Error = 2, Alert = 3 };

// Icon numbers of the question dialog.
enum class QuestionIcon : int { Question = 0, Warning = 1, Alert = 2 };

QPixmap NoticeIconPixmap(NoticeKind kind);
QPixmap QuestionIconPixmap(QuestionIcon icon);
QPixmap StatusIconPixmap(imagelist::ImageStatus status);
QPixmap ApplicationGlyph(int size);
// The same glyph as an image, drawable without a running application (for the desktop icons).
QImage ApplicationGlyphImage(int size);
// A 16 by 16 badge with one white letter, for the share pictures.
QPixmap ShareBadge(QChar letter, QColor colour);

}  // namespace app
