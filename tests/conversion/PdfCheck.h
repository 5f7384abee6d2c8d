// External checks of a written PDF: qpdf's structure check, poppler's page sizes and renderings.
#pragma once

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "conversion/FreeImageSupport.h"

namespace testing_support {

struct CommandResult {
  int status = -1;
  std::string output;  // stdout and stderr together
};

inline CommandResult RunCommand(const std::string& command) {
  CommandResult result;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
  if (!pipe) return result;
  char buffer[4096];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe.get())) result.output.append(buffer, n);
  result.status = pclose(pipe.release());
  return result;
}

inline std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// Page sizes in points as pdfinfo prints them, "64 x 48" for each page.
inline std::vector<std::string> PageSizes(const std::string& pdf) {
  const CommandResult info = RunCommand("pdfinfo -f 1 -l 100000 " + Quoted(pdf));
  std::vector<std::string> sizes;
  std::istringstream lines(info.output);
  for (std::string line; std::getline(lines, line);) {
    const size_t size = line.find(" size: ");
    if (line.rfind("Page ", 0) != 0 || size == std::string::npos) continue;
    const size_t start = line.find_first_not_of(' ', size + 7);
    sizes.push_back(line.substr(start, line.find(" pts") - start));
  }
  return sizes;
}

// The value of one line of pdfinfo's output ("Author", "Title", ...), exactly as printed.
inline std::string InfoValue(const std::string& pdf, const std::string& key) {
  const std::string info = "\n" + RunCommand("pdfinfo " + Quoted(pdf)).output;
  const size_t at = info.find("\n" + key + ":");
  if (at == std::string::npos) return "<none>";
  const size_t start = at + 1 + 17;  // labels are padded to 17 characters
  return info.substr(start, info.find('\n', start) - start);
}

// One page rendered at 72 DPI, so one pixel per point.
inline conversion::BitmapPtr RenderPage(const std::string& pdf, int page, const std::string& prefix) {
  const std::string n = std::to_string(page);
  RunCommand("pdftoppm -r 72 -f " + n + " -l " + n + " -singlefile " + Quoted(pdf) + " " + Quoted(prefix));
  return conversion::BitmapPtr(FreeImage_Load(FIF_PPM, (prefix + ".ppm").c_str(), 0));
}

}  // namespace testing_support
