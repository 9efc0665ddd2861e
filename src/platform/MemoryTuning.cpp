#include "platform/MemoryTuning.h"

#include <malloc.h>

namespace s2t {

bool keepFreedMemoryForReuse() {
    constexpr int kKept = 64 << 20;
    // Blocks up to kKept come from the heap instead of their own mapping, and the heap is trimmed
    // only when more than kKept lies free at its top.
    return mallopt(M_MMAP_THRESHOLD, kKept) == 1 && mallopt(M_TRIM_THRESHOLD, kKept) == 1;
}

}  // namespace s2t
