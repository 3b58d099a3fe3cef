#pragma once
// Loading plug-in libraries: the one place that knows how the platform does it. A handle
// names a loaded library; loading the same file twice gives the same handle (the library is
// counted, not loaded again).

#include <string>

namespace tunola {

// The file name ending of a plug-in library here (".so", ".dll").
extern const char* const kPluginSuffix;

// Null when the library cannot be loaded.
void* OpenPluginLibrary(const std::string& fileName);
void* PluginLibrarySymbol(void* handle, const char* name);
void ClosePluginLibrary(void* handle);

} // namespace tunola
