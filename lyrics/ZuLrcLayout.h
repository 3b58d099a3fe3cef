#pragma once
// The arithmetic of the scrolling lyric display, apart from any drawing: which line is
// current at a play position, how far the column has scrolled, where the trailer line goes and
// which lines the line picture must hold. Pure functions, 64-bit throughout.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tunola {

// The text of the line that closes every lyric.
inline constexpr std::string_view kLrcTrailerText = "** 欢迎使用 听风 **";
// A display line's time field holds at most this.
inline constexpr int64_t kLrcMaxTime = 9'999'999'999;

// A display line: "%10d,<text>".
std::string DisplayLine(int64_t time, std::string_view text);
// The time field (characters 1-10) of a display line; 0 when it is not a number.
int64_t DisplayLineTime(std::string_view line);
// The text (from character 12); a single blank when empty.
std::string_view DisplayLineText(std::string_view line);

// The trailer's time: the song's end, or just after the last lyric line when the lyric runs
// longer, never more than 10 characters.
int64_t TrailerTime(int64_t lengthMs, int64_t lastLineTime, bool hasLines);

struct TLrcFrame {
    int Current = -1;     // the current line; -1 before the first
    int64_t Scroll = 0;   // s: where the column stands
    int64_t ImageTop = 0; // where row 0 of a picture of all lines goes: s - (Height + h) div 2
};

// The line pitch: the height of "S" plus the line spacing.
constexpr int LrcPitch(int textHeight, int lrcSpace) {
    return textHeight + lrcSpace;
}
// y0: where the column starts.
constexpr int64_t LrcStart(int height, int pitch, int lrcSpace) {
    return height / 2 + pitch / 2 + lrcSpace;
}

// The frame at `pos` ms for display lines at `times` (ascending), each shifted by `offset`.
TLrcFrame LrcFrameAt(std::span<const int64_t> times, int64_t offset, int64_t pos, int pitch,
                     int height, int lrcSpace);

// The lines a picture must hold to fill a `height`-high view while line `current` is current:
// only those can show before the current line changes again. [First, Last], clamped to the lines.
struct TLrcBand {
    int First = 0;
    int Last = -1;
};
TLrcBand LrcBand(int current, int count, int pitch, int height);

} // namespace tunola
