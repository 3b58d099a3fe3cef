#pragma once
// The program's version in four parts, compiled in from the project's version
// (CMake `project(Tunola VERSION a.b.c.d)`): the update check and the About box read it here.

#include <cstdint>

namespace tunola {

struct TFileVersion {
    uint16_t Major = 0, Minor = 0, Release = 0, Build = 0;
};

TFileVersion GetFileVersion();

} // namespace tunola
