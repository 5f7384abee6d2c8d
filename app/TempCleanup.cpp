#include "app/TempCleanup.h"

#include <filesystem>

namespace app {

namespace fs = std::filesystem;

void DeletePlainFiles(const std::string& folder) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const fs::path& path = it->path();
    if (path.filename().string().starts_with('.')) continue;
    std::error_code ignored;
    const fs::file_status status = it->symlink_status(ignored);
    if (fs::is_regular_file(status) || fs::is_symlink(status)) fs::remove(path, ignored);
  }
}

}  // namespace app
