#include "conversion/ScanFolder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace conversion {

namespace {

namespace fs = std::filesystem;

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

// The index of the path's extension in kSupportedExtensions, or -1.
int ExtensionRank(std::string_view fileName) {
  const size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos) return -1;
  const std::string extension = Lower(fileName.substr(dot + 1));
  for (size_t i = 0; i < kSupportedExtensions.size(); ++i) {
    if (kSupportedExtensions[i] == extension) return static_cast<int>(i);
  }
  return -1;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Compares two digit runs by value without converting them, so any length works.
int CompareNumbers(std::string_view a, std::string_view b) {
  while (a.size() > 1 && a.front() == '0') a.remove_prefix(1);
  while (b.size() > 1 && b.front() == '0') b.remove_prefix(1);
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

int NaturalCompare(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      const size_t iEnd = std::find_if_not(a.begin() + i, a.end(), IsDigit) - a.begin();
      const size_t jEnd = std::find_if_not(b.begin() + j, b.end(), IsDigit) - b.begin();
      if (int c = CompareNumbers(a.substr(i, iEnd - i), b.substr(j, jEnd - j)); c != 0) return c;
      i = iEnd;
      j = jEnd;
      continue;
    }
    const int ca = std::tolower(static_cast<unsigned char>(a[i]));
    const int cb = std::tolower(static_cast<unsigned char>(b[j]));
    if (ca != cb) return ca < cb ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

}  // namespace

bool HasSupportedExtension(const std::string& path) {
  return ExtensionRank(fs::path(path).filename().string()) >= 0;
}

bool NaturalLess(std::string_view a, std::string_view b) {
  const int c = NaturalCompare(a, b);
  return c != 0 ? c < 0 : a < b;
}

std::vector<std::string> ScanFolder(const std::string& folder) {
  // One listing sorted by (extension rank, natural name) gives the same result as one search
  // per extension, without reading the folder eight times.
  std::vector<std::pair<int, std::string>> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name.front() == '.') continue;
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    const int rank = ExtensionRank(name);
    if (rank >= 0) found.emplace_back(rank, name);
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : NaturalLess(a.second, b.second);
  });

  const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  std::vector<std::string> paths;
  paths.reserve(found.size());
  for (const auto& [rank, name] : found) paths.push_back(prefix + name);
  return paths;
}

}  // namespace conversion
