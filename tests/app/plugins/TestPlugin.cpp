// A plug-in for the host's tests, built in several variants (see CMakeLists.txt). Every event
// it gets is appended as one line to the file named by TUNOLA_TEST_PLUGIN_LOG:
//   "<library name> <event>" and, for a track, " <title>|<title bytes>|<artist>|<artist
//   bytes>|<length in days>|<file name>".

#include "tunola_plugin.h"

#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>

#ifndef TP_KIND
#define TP_KIND TUNOLA_PLUGIN_KIND
#endif
#ifndef TP_VERSION
#define TP_VERSION TUNOLA_PLUGIN_INTERFACE
#endif

namespace {

std::string OwnName() {
    Dl_info dl{};
    if (!dladdr(reinterpret_cast<void*>(&OwnName), &dl) || !dl.dli_fname)
        return "?";
    std::string name = dl.dli_fname;
    return name.substr(name.find_last_of('/') + 1);
}

void Log(const std::string& line) {
    const char* path = std::getenv("TUNOLA_TEST_PLUGIN_LOG");
    if (!path)
        return;
    if (FILE* f = std::fopen(path, "a")) {
        std::fputs((OwnName() + " " + line + "\n").c_str(), f);
        std::fclose(f);
    }
}

int32_t Proc(int32_t event, void* pointer, int32_t value) {
    std::string line = std::to_string(event);
    if (event == TUNOLA_EVENT_TRACK && pointer) {
        const auto* t = static_cast<const TTrackInfo*>(pointer);
        char days[64];
        std::snprintf(days, sizeof days, "%.9f", t->Length);
        line += " " + std::string(t->Title) + "|" + std::to_string(t->TitleLength) + "|" +
                t->Artist + "|" + std::to_string(t->ArtistLength) + "|" + days + "|" + t->FileName;
    }
    if (value != 0)
        line += " value" + std::to_string(value);
#ifdef TP_BLOCK
    if (event == TUNOLA_EVENT_TRACK) {
        // Holds the track thread until the release file appears (or for ever).
        static const char* release = std::getenv("TUNOLA_TEST_PLUGIN_RELEASE");
        while (!release || access(release, F_OK) != 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
#endif
    Log(line);
#ifdef TP_THROW
    throw std::runtime_error("plug-in fault");
#endif
#ifdef TP_ANSWER
    return TP_ANSWER;
#else
    return 0;
#endif
}

[[maybe_unused]] TUSPluginInfo info = {TP_KIND, TP_VERSION, "test", Proc};

} // namespace

#ifndef TP_NO_EXPORT
extern "C" __attribute__((visibility("default"))) const TUSPluginInfo* USPluginInfo(uint32_t host) {
#ifdef TP_THROW_INFO
    throw std::runtime_error("no info");
#endif
    if (host != TUNOLA_PLUGIN_INTERFACE)
        return nullptr;
    return &info;
}
#endif
