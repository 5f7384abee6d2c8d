// Feeds arbitrary bytes, as a file, to the page image pipeline: content recognition, the
// header and data checks, then FreeImage's decoders and the JPEG re-encoding. A success must
// come from an accepted probe and stay within the pixel count the probe checked.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "conversion/ImageProbe.h"
#include "conversion/PreparePage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "fuzz-image-page-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) __builtin_trap();
    return pattern + "/";
  }();
  const std::string source = folder + "input";
  {
    std::FILE* file = std::fopen(source.c_str(), "wb");
    if (file == nullptr) __builtin_trap();
    std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  const conversion::ImageProbe probe = conversion::ProbeImage(source);
  const conversion::PageImage page = conversion::PreparePageImage(source, folder);
  if (page.ok()) {
    if (!probe.ok() || uint64_t{page.width} * page.height > uint64_t{probe.width} * probe.height) __builtin_trap();
    if (!std::filesystem::exists(page.jpegPath)) __builtin_trap();
    std::filesystem::remove(page.jpegPath);
  }
  return 0;
}
