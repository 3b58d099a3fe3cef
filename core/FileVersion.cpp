#include "FileVersion.h"

#ifndef TUNOLA_VERSION_MAJOR
#error "TUNOLA_VERSION_MAJOR comes from the build (core/CMakeLists.txt)"
#endif

namespace tunola {

TFileVersion GetFileVersion() {
    return {TUNOLA_VERSION_MAJOR, TUNOLA_VERSION_MINOR, TUNOLA_VERSION_PATCH, TUNOLA_VERSION_TWEAK};
}

} // namespace tunola
