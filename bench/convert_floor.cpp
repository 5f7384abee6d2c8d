// The floor for lumenfold-convert: the same FreeImage work per image without any PDF, and the
// maker of the benchmark's photo-like corpus.
//   convert_floor corpus DIR COUNT          writes COUNT 2400 x 1800 images as PNG and JPEG
//   convert_floor floor [--untuned] FILE... decode, 24 bits, 4:2:0 JPEG save, read back
#include <FreeImage.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "conversion/FreeImageSupport.h"
#include "conversion/MemoryTuning.h"

namespace {

using conversion::BitmapPtr;

struct MemoryCloser {
  void operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }
};
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Smooth shapes, gradients and sensor-like noise: compresses like a photograph, not like a
// flat test card.
BitmapPtr PhotoLike(int seed) {
  constexpr int kWidth = 2400, kHeight = 1800;
  BitmapPtr bitmap(FreeImage_Allocate(kWidth, kHeight, 24));
  std::mt19937 random(static_cast<unsigned>(seed));
  std::uniform_int_distribution<int> noise(-6, 6);
  const double cx = 600 + seed * 37 % 1200, cy = 400 + seed * 53 % 1000;
  for (int y = 0; y < kHeight; ++y) {
    BYTE* row = FreeImage_GetScanLine(bitmap.get(), y);
    for (int x = 0; x < kWidth; ++x) {
      const double d = std::hypot(x - cx, y - cy) / 900.0;
      const double sky = 0.5 + 0.5 * std::sin(x * 0.004 + seed) * std::cos(y * 0.003);
      auto channel = [&](double base) {
        return static_cast<BYTE>(std::clamp(base + noise(random), 0.0, 255.0));
      };
      row[FI_RGBA_RED] = channel(200 * sky * (1 - d / 2) + 30);
      row[FI_RGBA_GREEN] = channel(160 * (1 - d / 3) + 40 * std::sin(y * 0.01));
      row[FI_RGBA_BLUE] = channel(120 + 100 * sky * d);
      row += 3;
    }
  }
  return bitmap;
}

int MakeCorpus(const std::string& dir, int count) {
  std::filesystem::create_directories(dir + "/png");
  std::filesystem::create_directories(dir + "/jpg");
  for (int i = 0; i < count; ++i) {
    BitmapPtr bitmap = PhotoLike(i);
    char name[32];
    std::snprintf(name, sizeof name, "photo%03d", i);
    FreeImage_Save(FIF_PNG, bitmap.get(), (dir + "/png/" + name + ".png").c_str(), PNG_DEFAULT);
    FreeImage_Save(FIF_JPEG, bitmap.get(), (dir + "/jpg/" + name + ".jpg").c_str(), JPEG_QUALITYGOOD);
  }
  return 0;
}

// The least FreeImage needs per page: the decoded bitmap is released as soon as its 24-bit
// copy exists, the JPEG is encoded in memory and written once, then read back as the PDF
// writer would.
bool FloorPage(const std::string& path, const std::string& jpegPath, std::vector<char>& readBack) {
  BitmapPtr bitmap(FreeImage_Load(FreeImage_GetFileType(path.c_str(), 0), path.c_str(), 0));
  if (!bitmap) return false;
  if (FreeImage_GetBPP(bitmap.get()) != 24) bitmap = BitmapPtr(FreeImage_ConvertTo24Bits(bitmap.get()));
  if (!bitmap) return false;
  std::unique_ptr<FIMEMORY, MemoryCloser> memory(FreeImage_OpenMemory());
  if (!FreeImage_SaveToMemory(FIF_JPEG, bitmap.get(), memory.get(), JPEG_SUBSAMPLING_420)) return false;
  bitmap.reset();
  BYTE* data = nullptr;
  DWORD size = 0;
  FreeImage_AcquireMemory(memory.get(), &data, &size);
  {
    std::unique_ptr<std::FILE, FileCloser> out(std::fopen(jpegPath.c_str(), "wb"));
    if (!out || std::fwrite(data, 1, size, out.get()) != size) return false;
  }
  std::unique_ptr<std::FILE, FileCloser> in(std::fopen(jpegPath.c_str(), "rb"));
  readBack.resize(size);
  return in && std::fread(readBack.data(), 1, size, in.get()) == size;
}

int Floor(int argc, char** argv) {
  int first = 2;
  if (argc > first && std::strcmp(argv[first], "--untuned") == 0) {
    ++first;
  } else {
    conversion::KeepLargeBlocksForReuse();
  }
  const std::string jpegPath =
      (std::filesystem::temp_directory_path() / ("convert-floor-" + std::to_string(getpid()) + ".jpg")).string();
  std::vector<char> readBack;
  int pages = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = first; i < argc; ++i) pages += FloorPage(argv[i], jpegPath, readBack) ? 1 : 0;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::filesystem::remove(jpegPath);
  std::printf("%d pages in %.3f s\n", pages, seconds);
  return pages == argc - first ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], "corpus") == 0) return MakeCorpus(argv[2], std::atoi(argv[3]));
  if (argc >= 3 && std::strcmp(argv[1], "floor") == 0) return Floor(argc, argv);
  std::fprintf(stderr, "usage: convert_floor corpus DIR COUNT | convert_floor floor [--untuned] FILE...\n");
  return 2;
}
