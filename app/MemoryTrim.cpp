#include "MemoryTrim.h"

// Any C library header defines __GLIBC__; without one first, the test below is always false
// and neither the trim nor the tuning was ever compiled in.
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define TUNOLA_ASAN_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TUNOLA_ASAN_HEAP 1
#endif
#endif

#if defined(TUNOLA_ASAN_HEAP)
// From <sanitizer/allocator_interface.h>, which GCC does not install.
extern "C" void __sanitizer_purge_allocator(void);
#endif

namespace tunola {

void TrimWorkingSet() {
#if defined(TUNOLA_ASAN_HEAP)
    // Under AddressSanitizer malloc is its allocator's, and glibc's trim finds nothing to hand
    // back; this is the same trim there (it also empties the quarantine of freed blocks).
    __sanitizer_purge_allocator();
#elif defined(__GLIBC__)
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
