#include "imagelist/ReadingImagesProcess.h"

#include <cmath>
#include <filesystem>
#include <system_error>
#include <utility>

#include "conversion/FreeImageSupport.h"
#include "conversion/ImageProbe.h"

namespace imagelist {

namespace {

constexpr double kInchesPerMetre = 39.37007874015748;

// nearbyint follows the default rounding mode: halves go to the even neighbour.
long long RoundHalfEven(double value) { return std::llrint(value); }

std::string ReadingErrorLine(const std::string& path, const std::string& why) {
  return "\r\nImage reading error: \r\n" + path + ": " + why;
}

ImageProperties Unreadable(std::string why) {
  ImageProperties properties;
  properties.error = std::move(why);
  return properties;
}

}  // namespace

std::string SizeText(uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes);
  if (bytes < 1048576) return std::to_string(RoundHalfEven(static_cast<double>(bytes) / 1024)) + " KB";
  return std::to_string(RoundHalfEven(static_cast<double>(bytes) / 1048576)) + " MB";
}

std::string DpiText(unsigned dotsPerMetreX, unsigned dotsPerMetreY, int screenDpi) {
  const long long h = RoundHalfEven(dotsPerMetreX / kInchesPerMetre);
  const long long v = RoundHalfEven(dotsPerMetreY / kInchesPerMetre);
  if (h != v) return std::to_string(h) + " x " + std::to_string(v);
  return std::to_string(h == 0 ? screenDpi : h);
}

ImageProperties ReadImageProperties(const std::string& path, int screenDpi, ReadMode mode) {
  // The probe checks the content's type and the header's pixel count before anything is
  // decoded, so a TIFF named .png or a header claiming gigapixels never reaches a decoder.
  const conversion::ImageProbe probe = conversion::ProbeImage(path);
  if (!probe.ok()) return Unreadable(probe.error);

  // A header-only load still carries the resolution; where FreeImage has none (GIF, JPEG
  // 2000), the file is decoded (the probe has already bounded its size).
  const bool headerOnly = mode == ReadMode::HeaderOnly && FreeImage_FIFSupportsNoPixels(probe.format);
  const conversion::BitmapPtr bitmap(
      FreeImage_Load(probe.format, path.c_str(), headerOnly ? FIF_LOAD_NOPIXELS : 0));
  if (!bitmap) {
    const std::string why = conversion::TakeFreeImageMessage();
    return Unreadable("cannot decode the " + conversion::FormatText(probe.format) + " file" +
                      (why.empty() ? "" : ": " + why));
  }
  ImageProperties properties;
  properties.unreadable = false;
  properties.format = conversion::FormatText(probe.format);
  properties.dimensions =
      std::to_string(FreeImage_GetWidth(bitmap.get())) + " x " + std::to_string(FreeImage_GetHeight(bitmap.get()));
  properties.dpi =
      DpiText(FreeImage_GetDotsPerMeterX(bitmap.get()), FreeImage_GetDotsPerMeterY(bitmap.get()), screenDpi);
  return properties;
}

TReadingImagesProcess::TReadingImagesProcess(ReadingHost& host, std::vector<std::string> paths, int screenDpi,
                                             ReadMode mode)
    : Paths(std::move(paths)), host_(host), screenDpi_(screenDpi), mode_(mode) {}

TReadingImagesProcess::~TReadingImagesProcess() {
  requestInterruption();
  Join();
}

void TReadingImagesProcess::Work() {
  RunOnOwnerThread([this] { host_.DisableWindowForRun(); });
  for (int index = 0; index < static_cast<int>(Paths.size()); ++index) {
    if (isInterruptionRequested()) break;
    try {
      ReadOne(index);
    } catch (const std::exception& error) {
      const std::string line = ReadingErrorLine(Paths[index], error.what());
      RunOnOwnerThread([this, &line] { host_.PostLog(line); });
    }
  }
  // Whatever happened above, the window returns to idle.
  RunOnOwnerThread([this] { host_.RestoreWindowAfterRun(); });
}

void TReadingImagesProcess::ReadOne(int index) {
  const std::string& path = Paths[index];
  const int count = static_cast<int>(Paths.size());
  RunOnOwnerThread([this, index, count, &path] { host_.ShowReadingFile(index, count, path); });

  // A file removed or locked since it was listed gets no row; the run goes on.
  std::error_code error;
  const uintmax_t bytes = std::filesystem::file_size(path, error);
  if (error) {
    const std::string line = ReadingErrorLine(path, error.message());
    RunOnOwnerThread([this, &line] { host_.PostLog(line); });
    return;
  }

  const ImageProperties properties = ReadImageProperties(path, screenDpi_, mode_);
  if (properties.unreadable) {
    const std::string line = ReadingErrorLine(path, properties.error);
    RunOnOwnerThread([this, &line] { host_.PostLog(line); });
  }
  std::array<std::string, kSubItemCount> subItems{properties.dimensions, properties.format, properties.dpi,
                                                  SizeText(bytes), path};
  RunOnOwnerThread([this, &subItems] { host_.AddEntryRow(std::move(subItems)); });
}

}  // namespace imagelist
