// libFuzzer target for the audio library's small text parsers of outside input: radio
// playlists (.pls/.m3u) with address resolution, and legacy tag text.

#include "NetPlaylist.h"
#include "TagText.h"
#include "TextCodec.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string entry = tunaudio::FirstPlaylistEntry(text);
    const std::string url = tunaudio::ResolveUrl("http://host:8000/dir/list.pls?q=1", entry);
    (void)tunaudio::IsHttpUrl(url);
    (void)tunaudio::LooksLikePlaylist(text.substr(0, 40), text, text);
    // Whatever the bytes, tag text comes out as valid UTF-8.
    if (!tunola::IsValidUtf8(tunaudio::DecodeLegacyTagText(text)))
        std::abort();
    return 0;
}
