#include "MemoryTrim.h"

// Any C library header defines __GLIBC__; without one first, the test below is always false
// and neither the trim nor the tuning was ever compiled in.
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tunola {

void TrimWorkingSet() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void TuneAllocator() {
#if defined(__GLIBC__)
    // The bound glibc starts with, kept fixed.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

} // namespace tunola
