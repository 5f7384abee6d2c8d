// Emptying the application's temporary folder when the main window goes away.
#pragma once

#include <string>

namespace app {

// Deletes the plain files directly in the folder (symbolic links as links, never their
// targets). Hidden files and sub-folders stay, and so does the folder. Files that cannot be
// deleted are skipped silently.
void DeletePlainFiles(const std::string& folder);

}  // namespace app
