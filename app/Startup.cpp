#include "app/Startup.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <exception>
#include <memory>
#include <string>

#include "app/MainWindow.h"
#include "online/ClientSettings.h"
#include "platform/AppTempFolder.h"
#include "platform/ShellOpen.h"
#include "platform/SingleInstance.h"
#include "platform/uConst.h"

namespace app {

namespace {

// The two start-up messages use standard boxes: no main window exists to centre on.
void StandardBox(QMessageBox::Icon icon, const QString& text) {
  QMessageBox box(icon, QString::fromLatin1(kInstanceLockName), text, QMessageBox::Ok);
  box.exec();
}

// Builds the texts; on failure shows the error, opens the product page and says so.
bool BuildTexts() {
  try {
    platform::Texts();
    return true;
  } catch (const std::exception& error) {
    StandardBox(QMessageBox::Critical, InitializationErrorText(QString::fromLocal8Bit(error.what())));
  } catch (...) {
    StandardBox(QMessageBox::Critical, InitializationErrorText(QString()));
  }
  // The page address is itself a built-in text and may be what failed.
  try {
    platform::OpenInShell(platform::Texts().productWebPage);
  } catch (...) {
  }
  return false;
}

}  // namespace

QString InitializationErrorText(const QString& failure) {
  return QStringLiteral("Initialization error!\r\n") + failure;
}

int RunLumenfold(QApplication& application) {
  const bool textsBuilt = BuildTexts();
  platform::InitAppTempFolder();
  std::unique_ptr<online::THttpClient> sharedClient;
  try {
    sharedClient = online::CreateSharedHttpClient();
  } catch (...) {
    // Without a client the window simply stays offline.
  }

  const platform::SingleInstanceLock instance(QString::fromLatin1(kInstanceLockName), platform::UserRuntimeFolder());
  if (!instance.Acquired()) {
    StandardBox(QMessageBox::Warning, QStringLiteral("An instance of Lumenfold is already running!"));
    return 0;
  }

  QApplication::setApplicationName(QString::fromLatin1(kInstanceLockName));
  QApplication::setApplicationDisplayName(QString::fromLatin1(kInstanceLockName));
  QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopId));
  TMainForm window(platform::AppTempFolder());
  if (sharedClient) window.AttachOnline(*sharedClient);
  // After a failed start the window is made and at once destroyed: the loop ends at its first turn.
  if (!textsBuilt) QTimer::singleShot(0, &application, &QCoreApplication::quit);
  window.show();
  return application.exec();
}

}  // namespace app
