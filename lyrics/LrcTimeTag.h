#pragma once
// Converts the inside of an LRC time tag ("01:23.45", "-00:01", "1:02:03.4") to milliseconds
// and to the normalised text the lyric model keeps beside the time.

#include <cstdint>
#include <string>
#include <string_view>

namespace tunola {

struct TLrcTime {
    int32_t Time = 0;     // ms from the start of the song
    std::string TimeText; // empty when the tag fits none of the known forms
};

// Up to four digit groups; each keeps only its last two digits, so "123:00" is 23 minutes.
// When the last separator is ".", the last group counts in hundredths ("12.5" is 12050 ms).
// A leading "-" negates the time; TimeText keeps the "-" only for a non-zero time.
// The largest result, 99:99:99.99, is 362439990 ms.
TLrcTime ConvertTimeTag(std::string_view tagText);

} // namespace tunola
