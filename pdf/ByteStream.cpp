#include "pdf/ByteStream.h"

#include <algorithm>
#include <cstring>

namespace pdf {

int64_t TStream::Size() {
  const int64_t here = Position();
  const int64_t size = Seek(0, SeekOrigin::End);
  Seek(here, SeekOrigin::Begin);
  return size;
}

size_t TMemoryStream::Read(void* buffer, size_t count) {
  const size_t available = position_ < data_.size() ? data_.size() - position_ : 0;
  count = std::min(count, available);
  if (count > 0) std::memcpy(buffer, data_.data() + position_, count);
  position_ += count;
  return count;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
  if (position_ > data_.size()) data_.resize(position_, '\0');
  const size_t overlap = std::min(count, data_.size() - position_);
  data_.replace(position_, overlap, static_cast<const char*>(buffer), count);
  position_ += count;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t base = 0;
  if (origin == SeekOrigin::Current) base = static_cast<int64_t>(position_);
  if (origin == SeekOrigin::End) base = static_cast<int64_t>(data_.size());
  if (base + offset < 0) return -1;
  position_ = static_cast<size_t>(base + offset);
  return static_cast<int64_t>(position_);
}

}  // namespace pdf
