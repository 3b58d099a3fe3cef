// Playlists of other players (M3U, PLS, XSPF). Whatever the bytes:
//  - detecting and reading never crash;
//  - every location read is an absolute path or a stream address;
//  - what was read and is written again as M3U8, PLS and XSPF reads back to the same
//    locations (titles may lose line breaks, so only the locations are compared).

#include "PlaylistFormats.h"
#include "XmlSafeText.h"

#include <TextCodec.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace tunola;

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const TListFormat format : {DetectListFormat(bytes, "list.m3u"), TListFormat::M3u,
                                     TListFormat::Pls, TListFormat::Xspf}) {
        const auto entries = ParseForeignList(bytes, format, "/music/lists");
        if (!entries)
            continue;
        for (const TListEntry& entry : *entries)
            Require(entry.IsUrl || entry.Location.starts_with('/'));
        // Locations the player can hold (valid UTF-8 without control characters, as every
        // path that comes from a file name or a dialog) must survive a round trip; blanks at
        // the ends of a line are not kept by the line formats.
        bool plain = true;
        for (const TListEntry& entry : *entries) {
            const std::string& l = entry.Location;
            plain = plain && IsValidUtf8(l) && XmlSafeText(l) == l && !l.empty() &&
                    l.front() != ' ' && l.back() != ' ';
            for (const char c : l)
                plain = plain && static_cast<unsigned char>(c) >= ' ';
        }
        if (!plain)
            continue;
        const std::string written[] = {WriteM3u8(*entries), WritePls(*entries),
                                       WriteXspf(*entries)};
        const TListFormat formats[] = {TListFormat::M3u, TListFormat::Pls, TListFormat::Xspf};
        for (int k = 0; k < 3; ++k) {
            const auto back = ParseForeignList(written[k], formats[k], "/elsewhere");
            Require(back.has_value());
            Require(back->size() == entries->size());
            for (size_t i = 0; i < back->size(); ++i)
                Require((*back)[i].Location == (*entries)[i].Location);
        }
    }
    return 0;
}
