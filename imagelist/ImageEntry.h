// One row of the image list. The full path is the row's identity and row order is page order.
#pragma once

#include <array>
#include <string>

namespace imagelist {

// The row's icon index; the numbers are shared with the status icons and the select menu.
enum class ImageStatus : int { Converted = 0, Failed = 1, Processing = 2, Waiting = 3 };

enum SubItem : int { Dimensions = 0, Format = 1, Resolution = 2, FileSize = 3, FullPath = 4 };

inline constexpr int kSubItemCount = 5;
inline constexpr const char* kUnknownFormat = "?";

struct ImageEntry {
  std::string caption;
  bool tick = false;
  ImageStatus status = ImageStatus::Waiting;
  std::array<std::string, kSubItemCount> subItems;

  const std::string& fullPath() const { return subItems[FullPath]; }
  bool IsReadable() const { return subItems[Format] != kUnknownFormat; }
  // Only ticked rows of a known format become pages.
  bool IsConvertible() const { return tick && IsReadable(); }

  friend bool operator==(const ImageEntry&, const ImageEntry&) = default;
};

// The file-name part of a path: the text after the last "/". A colon is an ordinary file-name
// character here, so it does not split.
std::string FileNamePart(const std::string& path);

// A new row as the reading step creates it: an unreadable file ("?" format) comes unticked and
// Failed, any other ticked and Waiting.
ImageEntry MakeEntry(std::array<std::string, kSubItemCount> subItems, bool showFullPath);

}  // namespace imagelist
