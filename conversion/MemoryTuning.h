// Allocator settings for a process that decodes one large image after another.
#pragma once

namespace conversion {

// glibc hands every bitmap above its mmap threshold back to the system when it is freed and
// faults the pages in afresh for the next image; measured on page-sized photos, that cost
// more than the decoding itself. Raising the mmap and trim thresholds keeps the freed blocks
// in the heap for reuse. Process-wide; call once at start-up.
void KeepLargeBlocksForReuse();

}  // namespace conversion
