// Now playing: keeps the current track's "title - artist" in a text file that streaming
// overlays read, ~/.cache/tunola/nowplaying.txt ($XDG_CACHE_HOME when set; the environment
// variable TUNOLA_NOWPLAYING_FILE names another file). The file is replaced in one step, so an
// overlay never reads half a line, and emptied when the player quits.

#include "PluginText.h"
#include "tunola_plugin.h"

#include <cstdlib>
#include <string>

namespace {

using namespace tunola_plugins;

std::string FilePath() {
    if (const char* f = std::getenv("TUNOLA_NOWPLAYING_FILE"); f && *f)
        return f;
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache)
        return std::string(cache) + "/tunola/nowplaying.txt";
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.cache/tunola/nowplaying.txt";
}

int32_t Proc(int32_t event, void* pointer, int32_t) {
    const std::string path = FilePath();
    if (path.empty())
        return 0;
    if (event == TUNOLA_EVENT_TRACK && pointer) {
        const auto* t = static_cast<const TTrackInfo*>(pointer);
        std::string title =
            t->Title ? std::string(t->Title, size_t(std::max(t->TitleLength, 0))) : "";
        const std::string artist =
            t->Artist ? std::string(t->Artist, size_t(std::max(t->ArtistLength, 0))) : "";
        if (title.empty() && t->FileName)
            title = BaseName(t->FileName);
        std::string line = OneField(title);
        if (!artist.empty())
            line += " - " + OneField(artist);
        ReplaceFile(path, line + "\n");
    } else if (event == TUNOLA_EVENT_QUIT) {
        ReplaceFile(path, "");
    }
    return 0;
}

TUSPluginInfo info = {TUNOLA_PLUGIN_KIND, TUNOLA_PLUGIN_INTERFACE, "Now playing", Proc};

} // namespace

extern "C" __attribute__((visibility("default"))) const TUSPluginInfo* USPluginInfo(uint32_t) {
    return &info;
}
