#include "MediaModule.h"

#include "AlsaOutput.h"
#include "Mpg123Decoder.h"
#include "PulseOutput.h"
#include "SndfileDecoder.h"
#include "VorbisDecoder.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <mutex>

namespace tunaudio {

namespace {

constexpr const char* kModuleName = "tunola-media.so";

std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return {};
    const std::string exe(path, static_cast<size_t>(n));
    const size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
}

const TMediaEntryPoints* Load() {
    const std::string dir = ProgramFolder();
    std::string error;
    for (const std::string& path : {dir + kModuleName, dir + "../share/tunola/" + kModuleName}) {
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            if (error.empty())
                error = dlerror();
            continue;
        }
        using TEntry = const TMediaEntryPoints* (*)();
        auto entry = reinterpret_cast<TEntry>(dlsym(handle, "tunola_media_entry_points"));
        const TMediaEntryPoints* table = entry ? entry() : nullptr;
        if (table && table->version == kMediaModuleVersion)
            return table; // stays loaded: decoders and outputs it made may live until exit
        error = path + ": not a media module of this version";
        dlclose(handle);
    }
    std::fprintf(stderr, "tunola: no decoders or sound devices: %s\n", error.c_str());
    return nullptr;
}

} // namespace

const TMediaEntryPoints* MediaModule() {
    static std::once_flag once;
    static const TMediaEntryPoints* table = nullptr;
    std::call_once(once, [] { table = Load(); });
    return table;
}

// The forwarders the rest of the library calls.

std::unique_ptr<TDecoder> OpenMpg123Decoder(TByteSource& source) {
    const auto* m = MediaModule();
    return m ? m->openMpg123(source) : nullptr;
}

std::unique_ptr<TDecoder> OpenVorbisDecoder(TByteSource& source) {
    const auto* m = MediaModule();
    return m ? m->openVorbis(source) : nullptr;
}

std::unique_ptr<TDecoder> OpenSndfileDecoder(TByteSource& source) {
    const auto* m = MediaModule();
    return m ? m->openSndfile(source) : nullptr;
}

TTags ReadFileTags(const std::string& path, TContainer container) {
    const auto* m = MediaModule();
    return m ? m->readFileTags(path, container) : TTags{};
}

TTags ReadMemoryTags(const std::string& bytes, TContainer container) {
    const auto* m = MediaModule();
    return m ? m->readMemoryTags(bytes, container) : TTags{};
}

std::unique_ptr<TAudioOutput> OpenPulseOutput(int rate) {
    const auto* m = MediaModule();
    return m && m->openPulse ? m->openPulse(rate) : nullptr;
}

std::unique_ptr<TAudioOutput> OpenAlsaOutput(int rate) {
    const auto* m = MediaModule();
    return m && m->openAlsa ? m->openAlsa(rate) : nullptr;
}

} // namespace tunaudio
