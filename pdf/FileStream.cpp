#include "pdf/FileStream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "pdf/PdfObjects.h"

namespace pdf {

std::optional<std::string> Utf16ToFileSystemName(const std::u16string& name) {
  std::string out;
  out.reserve(name.size());
  for (size_t i = 0; i < name.size(); ++i) {
    uint32_t code = name[i];
    if (code >= 0xD800 && code <= 0xDBFF) {
      if (i + 1 >= name.size() || name[i + 1] < 0xDC00 || name[i + 1] > 0xDFFF) return std::nullopt;
      code = 0x10000 + ((code - 0xD800) << 10) + (name[++i] - 0xDC00);
    } else if (code >= 0xDC00 && code <= 0xDFFF) {
      return std::nullopt;
    }
    if (code == 0) return std::nullopt;  // a NUL would cut the name short
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

namespace {
int OpenFlags(uint16_t mode) {
  if (mode == kModeCreate) return O_RDWR | O_CREAT | O_TRUNC;
  const int access = mode & 3;
  const int sharing = (mode >> 4) & 15;
  if (access == 3 || sharing > 4) return -1;
  return access == 0 ? O_RDONLY : access == 1 ? O_WRONLY : O_RDWR;
}
}  // namespace

TVellumWideFileStream::TVellumWideFileStream(const std::u16string& fileName, uint16_t mode) {
  const auto name = Utf16ToFileSystemName(fileName);
  const int flags = OpenFlags(mode);
  if (!name || name->empty() || flags < 0) throw EPDFError("Error");
  handle_ = ::open(name->c_str(), flags | O_CLOEXEC, 0666);
  if (handle_ < 0) throw EPDFError("Error");
}

TVellumWideFileStream::~TVellumWideFileStream() {
  if (handle_ >= 0) ::close(handle_);
}

size_t TVellumWideFileStream::Read(void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(handle_, static_cast<char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

size_t TVellumWideFileStream::Write(const void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(handle_, static_cast<const char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

int64_t TVellumWideFileStream::Seek(int64_t offset, SeekOrigin origin) {
  const int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
  return static_cast<int64_t>(::lseek(handle_, static_cast<off_t>(offset), whence));
}

}  // namespace pdf
