// Byte streams the writer writes into: an abstract sink that knows its position, a memory
// stream for tests, and the file stream of FileStream.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pdf {

enum class SeekOrigin { Begin, Current, End };

class TStream {
 public:
  virtual ~TStream() = default;
  // Bytes read or written; 0 on failure.
  virtual size_t Read(void* buffer, size_t count) = 0;
  virtual size_t Write(const void* buffer, size_t count) = 0;
  // The new position, or -1 on failure.
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, SeekOrigin::Current); }
  int64_t Size();
  // Writes the whole text; false when the stream took fewer bytes (a full disk).
  bool WriteAll(const std::string& text) { return Write(text.data(), text.size()) == text.size(); }
};

class TMemoryStream final : public TStream {
 public:
  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  const std::string& Data() const { return data_; }

 private:
  std::string data_;
  size_t position_ = 0;
};

}  // namespace pdf
