// Shared routines of the application: the notification target of the workers, the diagnostic
// log hook, the folder write probe, locale-independent decimals and MD5 text.
#pragma once

#include <QString>
#include <string>

class QWidget;

namespace app {

// The main window, which workers notify; set once when it is created, before any worker runs.
void SetNotifyWindow(QWidget* window);
QWidget* NotifyWindow();

// Calls the notify window's Notify(code) and waits until the main thread has handled it. From
// the main thread the call is direct. Does nothing when no window exists.
void SendNotify(int code);

// Keeps the line as the last log line and notifies the window with code 1. Lines reach neither
// the user nor a file. Callable from any thread.
void PostLog(const std::string& line);
std::string LastLogLine();

// Whether a new file can be made in the folder: creates "chk.tmp" there exclusively and removes
// it again. A leftover "chk.tmp" therefore counts as not writable.
bool IsFolderWritable(const std::string& folder);

// A decimal number with "." as the separator, whatever the user's locale; surrounding blanks
// are allowed. Throws std::runtime_error("strtofloat error") for anything else. The online
// library, which reads version numbers, holds the one implementation.
long double ParseDecimal(const std::string& text);

// MD5 of the text's bytes as 32 lower-case hexadecimal digits (the online library's).
std::string Md5Hex(const std::string& text);

}  // namespace app
