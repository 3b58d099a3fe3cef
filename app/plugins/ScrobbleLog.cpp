// Scrobble log: every track the player plays is appended to ~/.scrobbler.log in the
// Audioscrobbler portable-player format (version 1.1), which Last.fm and ListenBrainz
// uploaders import. A track's line is written when the next track starts or the player quits,
// since only then is it known how long it played: "L" (listened) after at least half its
// length or 240 seconds, "S" (skipped) otherwise. The player has no album or track number;
// those fields stay empty.
//
// Events come one at a time (start and quit on the UI thread, tracks on the player's plug-in
// thread, never at once), so the plug-in needs no lock of its own.

#include "PluginText.h"
#include "tunola_plugin.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <optional>
#include <string>

namespace {

using namespace tunola_plugins;

struct TPending {
    std::string Artist, Title;
    long Seconds = 0;
    std::time_t Started = 0;
    std::chrono::steady_clock::time_point Clock;
};

std::optional<TPending> pending;

std::string LogPath() {
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.scrobbler.log";
}

void Append(const std::string& path, const std::string& line) {
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    std::string text;
    struct stat st {};
    if (fstat(fd, &st) == 0 && st.st_size == 0)
        text = "#AUDIOSCROBBLER/1.1\n#TZ/UTC\n#CLIENT/Tunola 2\n";
    text += line;
    // One write with O_APPEND: two players never interleave within a line.
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        const ssize_t n = write(fd, p, left);
        if (n <= 0)
            break;
        p += n;
        left -= size_t(n);
    }
    close(fd);
}

void Finish() {
    if (!pending)
        return;
    const double played =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - pending->Clock).count();
    // Without a known length only the 240 seconds count.
    const bool listened =
        played >= 240.0 || (pending->Seconds > 0 && played >= pending->Seconds / 2.0);
    // ARTIST ALBUM TITLE TRACKNUM LENGTH RATING TIMESTAMP MUSICBRAINZ_TRACKID
    const std::string line = OneField(pending->Artist) + "\t\t" + OneField(pending->Title) +
                             "\t\t" + std::to_string(pending->Seconds) + "\t" +
                             (listened ? "L" : "S") + "\t" +
                             std::to_string(static_cast<long long>(pending->Started)) + "\t\n";
    pending.reset();
    if (const std::string path = LogPath(); !path.empty())
        Append(path, line);
}

int32_t Proc(int32_t event, void* pointer, int32_t) {
    if (event == TUNOLA_EVENT_TRACK && pointer) {
        Finish();
        const auto* t = static_cast<const TTrackInfo*>(pointer);
        TPending p;
        p.Artist = t->Artist ? std::string(t->Artist, size_t(std::max(t->ArtistLength, 0))) : "";
        p.Title = t->Title ? std::string(t->Title, size_t(std::max(t->TitleLength, 0))) : "";
        if (p.Title.empty() && t->FileName)
            p.Title = BaseName(t->FileName);
        const double seconds = t->Length * 86400.0;
        p.Seconds =
            std::isfinite(seconds) && seconds > 0 && seconds < 1e9 ? std::lround(seconds) : 0;
        p.Started = std::time(nullptr);
        p.Clock = std::chrono::steady_clock::now();
        pending = std::move(p);
    } else if (event == TUNOLA_EVENT_QUIT) {
        Finish();
    }
    return 0;
}

TUSPluginInfo info = {TUNOLA_PLUGIN_KIND, TUNOLA_PLUGIN_INTERFACE, "Scrobble log", Proc};

} // namespace

extern "C" __attribute__((visibility("default"))) const TUSPluginInfo* USPluginInfo(uint32_t) {
    return &info;
}
