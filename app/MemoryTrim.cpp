#include "MemoryTrim.h"

#include "AddressSanitizer.h"

// Any C library header defines __GLIBC__; without one first, the test below is always false
// and neither the trim nor the tuning was ever compiled in.
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#if defined(TUNOLA_ADDRESS_SANITIZER)
// From <sanitizer/allocator_interface.h>, which GCC does not install.
extern "C" void __sanitizer_purge_allocator(void);
#endif

namespace tunola {

void TrimWorkingSet() {
#if defined(TUNOLA_ADDRESS_SANITIZER)
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
