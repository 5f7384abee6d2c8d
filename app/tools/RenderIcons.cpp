// Renders the application glyph as the desktop's fixed-size icons:
//   render_icons OUTPUT_FOLDER NAME SIZE...  ->  OUTPUT_FOLDER/SIZExSIZE/apps/NAME.png
#include <QDir>
#include <QImage>
#include <cstdio>
#include <cstdlib>

#include "app/Glyphs.h"

int main(int argc, char* argv[]) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER NAME SIZE...\n", argv[0]);
    return 2;
  }
  const QString output = QString::fromLocal8Bit(argv[1]);
  const QString name = QString::fromLocal8Bit(argv[2]);
  for (int i = 3; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(output).arg(size);
    if (size <= 0 || !QDir().mkpath(folder) ||
        !app::ApplicationGlyphImage(size).save(folder + QLatin1Char('/') + name + QStringLiteral(".png"))) {
      std::fprintf(stderr, "render_icons: cannot write the %s icon\n", argv[i]);
      return 1;
    }
  }
  return 0;
}
