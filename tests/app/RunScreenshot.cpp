// Adds a folder through the reading worker, converts it from the window and saves pictures of
// the window after reading, during the conversion and after it; prints how long the
// conversion took from Start to the written file.
// Usage: run_screenshot FOLDER OUTPUT.pdf PICTURE-PREFIX
#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <string>

#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "app/RunControl.h"

namespace {

// Every question is answered "yes"; notices are printed.
class YesDialogs : public app::DialogLayer {
 public:
  void ShowNotice(const QString& title, const QString& message, app::NoticeKind) override {
    std::printf("notice: %s: %s\n", qPrintable(title), qPrintable(message));
  }
  QString AskYesNo(const QString&, const QString&, const QString&, app::QuestionIcon, bool) override {
    return QStringLiteral("yes");
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s FOLDER OUTPUT.pdf PICTURE-PREFIX\n", argv[0]);
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const QString output = QString::fromLocal8Bit(argv[2]);
  const QString prefix = QString::fromLocal8Bit(argv[3]);
  YesDialogs dialogs;
  app::SetDialogLayer(&dialogs);
  QTemporaryDir temp;
  app::TMainForm form(temp.path().toStdString() + "/");
  app::TRunControl& control = *form.RunControl;
  control.SetFileChoosers({{}, [&] { return folder; }, {}});
  control.SetShellOpen([](const std::string& path) { std::printf("opened: %s\n", path.c_str()); });
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) return 1;

  QSignalSpy ended(&control, &app::TRunControl::RunEnded);
  QElapsedTimer reading;
  reading.start();
  control.sBitBtnAddFolderClick();
  if (!ended.wait(600000)) return 1;
  std::printf("reading: %d files in %lld ms\n", form.ImageList().Count(), reading.elapsed());
  form.grab().save(prefix + QStringLiteral("-read.png"));

  control.SetOutputName(output);
  bool during = false;
  QObject::connect(form.sGaugeProcess, &QProgressBar::valueChanged, &form, [&](int value) {
    if (!during && value >= 50) {
      during = true;
      form.grab().save(prefix + QStringLiteral("-during.png"));
    }
  });
  QElapsedTimer conversion;
  conversion.start();
  control.sBitBtnStartClick();
  if (!ended.wait(3600000)) return 1;
  std::printf("conversion: %lld ms from Start to the written file\n", conversion.elapsed());
  form.grab().save(prefix + QStringLiteral("-after.png"));
  form.hide();
  app::SetDialogLayer(nullptr);
  return 0;
}
