#include "MemoryTrim.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tunola {

void TrimWorkingSet() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace tunola
