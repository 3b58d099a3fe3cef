#include "PluginLibrary.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <QString>

namespace tunola {

#ifdef _WIN32

const char* const kPluginSuffix = ".dll";

void* OpenPluginLibrary(const std::string& fileName) {
    const std::wstring wide = QString::fromStdString(fileName).toStdWString();
    return LoadLibraryW(wide.c_str());
}
void* PluginLibrarySymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void ClosePluginLibrary(void* handle) {
    FreeLibrary(static_cast<HMODULE>(handle));
}

#else

const char* const kPluginSuffix = ".so";

void* OpenPluginLibrary(const std::string& fileName) {
    // Each plug-in keeps its own symbols: two plug-ins may well have functions of one name.
    return dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
}
void* PluginLibrarySymbol(void* handle, const char* name) {
    return dlsym(handle, name);
}
void ClosePluginLibrary(void* handle) {
    dlclose(handle);
}

#endif

} // namespace tunola
