#include "platform/memory_policy.h"

#include <cstdlib>  // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {

void GiveLargeBlocksBack() {
#if defined(__GLIBC__)
  // A fixed bound also stops the allocator from moving it.
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
}

}  // namespace platform
