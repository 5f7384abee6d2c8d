// Takes a picture of the main window with a preview: lists the given image files, highlights
// the row given by --row (0 by default) and saves the window to the output PNG.
// Usage: preview_screenshot OUTPUT.png [--row N] IMAGE...
#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <string>

#include "app/MainWindow.h"
#include "conversion/ImageProbe.h"

namespace {

imagelist::ImageEntry EntryFor(const std::string& path) {
  const conversion::ImageProbe probe = conversion::ProbeImage(path);
  const QString size = QString::number(QFileInfo(QString::fromStdString(path)).size() / 1024) + QStringLiteral(" KB");
  if (!probe.ok()) return imagelist::MakeEntry({"-", "?", "-", size.toStdString(), path}, false);
  return imagelist::MakeEntry({std::to_string(probe.width) + " x " + std::to_string(probe.height),
                               conversion::FormatText(probe.format), "72", size.toStdString(), path},
                              false);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT.png [--row N] IMAGE...\n", argv[0]);
    return 2;
  }
  int row = 0;
  int first = 2;
  if (std::string(argv[2]) == "--row" && argc > 4) {
    row = std::stoi(argv[3]);
    first = 4;
  }
  QTemporaryDir temp;
  app::TMainForm form(temp.path().toStdString());
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) return 1;
  for (int i = first; i < argc; ++i) form.ImageList().Append(EntryFor(argv[i]));
  if (row < form.ImageList().Count()) form.ImageList().Highlight(row);
  QTest::qWait(300);
  const bool saved = form.grab().save(QString::fromLocal8Bit(argv[1]));
  form.hide();
  return saved ? 0 : 1;
}
