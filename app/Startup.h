// The program's start: built-in texts, the temporary folder, the single-instance check, the
// main window and the event loop.
#pragma once

#include <QString>

class QApplication;

namespace app {

// Id of the desktop entry and the AppStream component.
inline constexpr const char* kDesktopId = "example.lumenfold.Lumenfold";
// The single-instance lock's name: the product name as a plain literal.
inline constexpr const char* kInstanceLockName = "Lumenfold";

// Runs the start-up in its order and returns the exit code. No command line is read.
int RunLumenfold(QApplication& application);

// "Initialization error!", CR LF and the failure's own message.
QString InitializationErrorText(const QString& failure);

}  // namespace app
