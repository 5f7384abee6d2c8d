// Hands a file or a web address to the desktop's default application.
#pragma once

#include <string>

class QUrl;

namespace platform {

// A text with a scheme ("https://...", "mailto:...") is an address, anything else a local path.
QUrl ShellTarget(const std::string& target);

// Returns at once; whether the desktop could open the target is not reported.
void OpenInShell(const std::string& target);

}  // namespace platform
