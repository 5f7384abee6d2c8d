// The application's private temporary folder: <temp>/<sub-folder>/<product name>/.
#pragma once

#include <string>

namespace platform {

// Composes the folder below `base` and makes sure it exists with every missing parent, private
// to the user (mode 0700). A folder on that path that belongs to someone else, or any symbolic
// link on it, is not used: a fresh private folder below `base` is made instead, since another
// user who controls the path could read or swap our temporary files. Never fails loudly: when
// nothing can be created the composed path is still returned and later file writes fail.
// The result always ends with "/".
std::string PrepareTempFolder(const std::string& base, const std::string& subFolder,
                              const std::string& productName);

// The platform's temporary folder: TMPDIR when set and not empty, otherwise /tmp.
std::string PlatformTempPath();

// Prepares the process-wide folder from the platform's temporary folder and the built-in texts;
// later calls keep the first result.
const std::string& InitAppTempFolder();

// The process-wide folder, ending with "/"; prepared on first use.
const std::string& AppTempFolder();

}  // namespace platform
