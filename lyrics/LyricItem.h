#pragma once
// The records of a parsed lyric: its identification tags and its timed lines.

#include <cstdint>
#include <string>

namespace tunola {

// Identification tags; empty strings and Offset 0 when the lyric has none.
struct TLRCInfo {
    std::string Title;    // [ti:]
    std::string By;       // [by:]
    std::string Language; // [la:]
    std::string Artist;   // [ar:]
    std::string Album;    // [al:]
    int32_t Offset = 0;   // [offset:], ms

    bool operator==(const TLRCInfo&) const = default;
};

// One timed lyric line.
struct TLyricItem {
    std::string Text;     // trimmed; may be empty
    std::string TimeText; // normalised tag text, "-" in front for a negative non-zero time
    int32_t Time = 0;     // ms from the start of the song, before any offset

    bool operator==(const TLyricItem&) const = default;
};

} // namespace tunola
