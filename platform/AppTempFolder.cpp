#include "platform/AppTempFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/uConst.h"

namespace platform {

namespace {

namespace fs = std::filesystem;

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// A folder we may use: a real directory (not a link to one) owned by us.
bool IsOwnDirectory(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == geteuid();
}

// Creates `path` as a private folder, or accepts it when it already is one of ours.
bool EnsureOwnFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  return IsOwnDirectory(path);
}

std::string FreshPrivateFolder(const std::string& base, const std::string& productName) {
  std::string pattern = base + "/" + productName + "-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) return {};  // mkdtemp makes it with mode 0700
  return std::string(buffer.data());
}

}  // namespace

std::string PrepareTempFolder(const std::string& base, const std::string& subFolder,
                              const std::string& productName) {
  const std::string root = WithoutTrailingSlashes(base);
  const std::string middle = root + "/" + subFolder;
  const std::string folder = middle + "/" + productName;

  // The base itself is the system's (often shared, sticky) folder; create it when missing but
  // take it as it is. Both levels below it must be ours.
  std::error_code ignored;
  fs::create_directories(root, ignored);
  if (EnsureOwnFolder(middle) && EnsureOwnFolder(folder)) {
    chmod(folder.c_str(), 0700);  // an older folder of ours may have been made more open
    return folder + "/";
  }
  std::string fresh = FreshPrivateFolder(root, productName);
  return (fresh.empty() ? folder : fresh) + "/";
}

std::string PlatformTempPath() {
  const char* tmpdir = std::getenv("TMPDIR");
  if (tmpdir != nullptr && *tmpdir != '\0') return WithoutTrailingSlashes(tmpdir);
  return "/tmp";
}

const std::string& InitAppTempFolder() {
  static const std::string folder =
      PrepareTempFolder(PlatformTempPath(), Texts().tempSubFolder, Texts().productName);
  return folder;
}

const std::string& AppTempFolder() { return InitAppTempFolder(); }

}  // namespace platform
