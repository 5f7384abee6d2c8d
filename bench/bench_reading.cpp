// What adding images costs per file: the properties read of the reading run, header-only
// against a full decode.
//   bench_reading make <folder> <distinct> <copies> <width> <height>   photo-like JPEGs
//   bench_reading read <folder> header|full
#include <FreeImage.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "conversion/FreeImageSupport.h"
#include "conversion/ScanFolder.h"
#include "imagelist/ReadingImagesProcess.h"

namespace {

namespace fs = std::filesystem;

// Smooth gradients with sensor-like noise compress like a camera picture at quality 90.
conversion::BitmapPtr PhotoLike(unsigned width, unsigned height, unsigned seed) {
  conversion::BitmapPtr bitmap(FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), 24));
  std::minstd_rand random(seed);
  for (unsigned y = 0; y < height; ++y) {
    BYTE* line = FreeImage_GetScanLine(bitmap.get(), static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x) {
      const int noise = static_cast<int>(random() % 17) - 8;
      line[3 * x + 0] = static_cast<BYTE>(std::clamp(static_cast<int>(255 * x / width) + noise, 0, 255));
      line[3 * x + 1] = static_cast<BYTE>(std::clamp(static_cast<int>(255 * y / height) + noise, 0, 255));
      line[3 * x + 2] = static_cast<BYTE>(std::clamp(static_cast<int>((seed * 37 + x / 16) % 256) + noise, 0, 255));
    }
  }
  FreeImage_SetDotsPerMeterX(bitmap.get(), 2835);
  FreeImage_SetDotsPerMeterY(bitmap.get(), 2835);
  return bitmap;
}

int Make(const fs::path& folder, int distinct, int copies, unsigned width, unsigned height) {
  fs::create_directories(folder);
  for (int i = 0; i < distinct; ++i) {
    const fs::path original = folder / ("photo" + std::to_string(i) + ".jpg");
    const conversion::BitmapPtr bitmap = PhotoLike(width, height, static_cast<unsigned>(i + 1));
    if (!FreeImage_Save(FIF_JPEG, bitmap.get(), original.c_str(), 90)) return 1;
    // Hard links: many files to add without gigabytes of disk; the page cache is warm either way.
    for (int c = 1; c < copies; ++c)
      fs::create_hard_link(original, folder / ("photo" + std::to_string(i) + "-" + std::to_string(c) + ".jpg"));
  }
  return 0;
}

int Read(const fs::path& folder, imagelist::ReadMode mode) {
  const std::vector<std::string> paths = conversion::ScanFolder(folder.string());
  int unreadable = 0;
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& path : paths) unreadable += imagelist::ReadImageProperties(path, 96, mode).unreadable;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%s: %zu files in %.2f s (%.2f ms per file), %d unreadable\n",
              mode == imagelist::ReadMode::HeaderOnly ? "header-only" : "full decode", paths.size(), seconds,
              1000 * seconds / static_cast<double>(std::max<size_t>(paths.size(), 1)), unreadable);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "make" && argc == 7)
    return Make(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), static_cast<unsigned>(std::atoi(argv[5])),
                static_cast<unsigned>(std::atoi(argv[6])));
  if (command == "read" && argc == 4)
    return Read(argv[2], std::string(argv[3]) == "full" ? imagelist::ReadMode::FullDecode
                                                         : imagelist::ReadMode::HeaderOnly);
  std::fprintf(stderr, "usage: bench_reading make <folder> <distinct> <copies> <width> <height>\n"
                       "       bench_reading read <folder> header|full\n");
  return 2;
}
