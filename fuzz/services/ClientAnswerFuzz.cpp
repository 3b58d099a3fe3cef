// What the player's service libraries read from the network: lyric and music search answers,
// and the link keys that become playable addresses. Checks that nothing crashes, the result
// caps hold, and no address leaves the service's share folder unless it is an http(s) address.

#include "LyricDownClient.h"
#include "MusicSearchClient.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace tunola;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const auto lyrics = ParseLyricResults(body, 50);
    if (lyrics.size() > 50)
        std::abort();
    for (const TLyricSearchResult& r : lyrics)
        if (r.LyricId == 0 || r.Title.find('\n') != std::string::npos)
            std::abort();
    const auto songs = ParseMusicResults(body, 50);
    if (songs.size() > 50)
        std::abort();
    for (const TMusicSearchResult& r : songs) {
        const std::string url = MusicSongUrl("h:1", r.LinkKey);
        if (url.empty())
            continue;
        const bool web = url == r.LinkKey;
        if (!web && (url.rfind("http://h:1/share/", 0) != 0 ||
                     url.find("..") != std::string::npos || url.find('/', 17) != std::string::npos))
            std::abort();
    }
    return 0;
}
