// A file opened by a UTF-16 file name, with the writer's mode word.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "pdf/ByteStream.h"

namespace pdf {

// Creates the file, replacing an existing one, with read and write access.
inline constexpr uint16_t kModeCreate = 0xFFFF;
// Low two bits: 0 read, 1 write, 2 read and write (3 is refused). Bits 4 to 7: sharing,
// 0 to 4 (above 4 is refused). This platform has no share modes, so they are only checked.
inline constexpr uint16_t kModeReadShareRead = 32;

class TVellumWideFileStream final : public TStream {
 public:
  // Throws EPDFError("Error") when the file cannot be opened or the mode word is refused.
  TVellumWideFileStream(const std::u16string& fileName, uint16_t mode);
  ~TVellumWideFileStream() override;
  TVellumWideFileStream(const TVellumWideFileStream&) = delete;
  TVellumWideFileStream& operator=(const TVellumWideFileStream&) = delete;

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;

 private:
  int handle_ = -1;
};

// The file system's form of a UTF-16 name (UTF-8 here); none for broken surrogate pairs.
std::optional<std::string> Utf16ToFileSystemName(const std::u16string& name);

}  // namespace pdf
