// The images of one folder, as "Add folder" and a dropped folder take them.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace conversion {

// In this order; it decides the order of a folder's files.
inline constexpr std::array<std::string_view, 8> kSupportedExtensions = {
    "bmp", "gif", "jpg", "jpeg", "jp2", "pcx", "png", "psd"};

// True when the path's extension is one of kSupportedExtensions, in any case.
bool HasSupportedExtension(const std::string& path);

// "scan2" before "scan10": runs of digits compare by their value, the rest case-insensitively;
// names equal that way fall back to byte order so the order is total.
bool NaturalLess(std::string_view a, std::string_view b);

// Plain, non-hidden files directly in the folder (no sub-folders) whose extension is supported,
// grouped by extension in kSupportedExtensions order and in natural name order within one.
// Each path is the folder, "/" unless it ends with one, and the file name.
std::vector<std::string> ScanFolder(const std::string& folder);

}  // namespace conversion
