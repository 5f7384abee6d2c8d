#include "conversion/MemoryTuning.h"

#include <malloc.h>

namespace conversion {

void KeepLargeBlocksForReuse() {
#if defined(__GLIBC__)
  // 32 MiB is glibc's upper bound for the mmap threshold on 64-bit systems: enough for a
  // 32-bit bitmap of 8 million pixels. Larger images still use mmap.
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
#endif
}

}  // namespace conversion
