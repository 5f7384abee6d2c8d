// Drives the facade through the conversion run's sequence: pages of a small JPEG each, with
// a link and the document's information entries, then writes the file. The time per page
// must not grow with the number of pages.
//   bench_facade [pages...]     (default 1000 10000); run one count under /usr/bin/time -v
//   for its peak memory.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pdf/Vellum.h"

namespace {

namespace fs = std::filesystem;

// A 16 by 8 baseline JPEG header with a little scan data; the writer never decodes it.
std::string SmallJpeg() {
  std::string jpeg = "\xFF\xD8";
  jpeg += std::string("\xFF\xE0\x00\x10JFIF\x00\x01\x02\x01\x00\x48\x00\x48\x00\x00", 18);
  jpeg += std::string("\xFF\xDB\x00\x43\x00", 5) + std::string(64, '\x10');
  jpeg += std::string("\xFF\xC0\x00\x11\x08\x00\x08\x00\x10\x03\x01\x22\x00\x02\x11\x00\x03\x11\x00", 19);
  jpeg += std::string("\xFF\xDA\x00\x0C\x03\x01\x00\x02\x11\x03\x11\x00\x3F\x00", 14) + std::string(900, '\x55');
  jpeg += "\xFF\xD9";
  return jpeg;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

double BuildAndWrite(int pages, const fs::path& jpeg, const fs::path& output) {
  const auto start = std::chrono::steady_clock::now();
  pdf::TVellum0813 vellum;
  if (vellum.CreateDocument() == 0) std::abort();
  const char16_t* info[] = {u"Author", u"Title", u"Subject", u"Keywords", u"Lumenfold", u"Vellum"};
  for (int key = 1; key <= 6; ++key) vellum.SetDocumentInfo(key, info[key - 1]);
  vellum.SetUnits(0);
  vellum.SetOriginCorner(1);
  // More than 9999 pages take several calls.
  for (int missing = pages - 1; missing > 0; missing -= pdf::kMaxPagesPerAppend) {
    if (vellum.AppendPages(1, std::min(missing, pdf::kMaxPagesPerAppend)) == 0) std::abort();
  }
  vellum.SetImageImportMode(1);
  for (int k = 1; k <= pages; ++k) {
    vellum.ActivatePage(k);
    vellum.SetPageSize(16, 8);
    const pdf::ImageHandle image = vellum.LoadImageFile(jpeg.u16string(), 0);
    if (image == 0 || vellum.ActivateImage(image) == 0) std::abort();
    vellum.PlaceImage(0, 0, 16, 8);
    vellum.AddWebLink(0, 0, 16, 8, u"https://example.org/lumenfold", 0);
  }
  if (vellum.WriteToFile(output.u16string()) == 0) std::abort();
  return Seconds(std::chrono::steady_clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {1000, 10000};

  const fs::path dir = fs::temp_directory_path() / ("lumenfold-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path jpeg = dir / "page.jpg";
  std::ofstream(jpeg, std::ios::binary) << SmallJpeg();

  double first = 0;
  for (int count : counts) {
    const fs::path output = dir / "out.pdf";
    const double seconds = BuildAndWrite(count, jpeg, output);
    if (first == 0) first = seconds;
    std::printf("%6d pages: %.3f s, %ju bytes, %.2f x the first\n", count, seconds,
                static_cast<uintmax_t>(fs::file_size(output)), seconds / first);
  }
  fs::remove_all(dir);
  return 0;
}
