#pragma once
// The list box scroll bar's arithmetic: where its five parts lie, how a step and a thumb drag
// move the position. Pure functions over the bar's length and range; the bar only calls them.
// Rounding is half to even throughout.
//
// Along the bar (the vertical bar's top to bottom, the horizontal bar's left to right): an arrow
// at each end, 16 pixels long or half the bar when the bar is 32 pixels or shorter; between them
// the track with the thumb and a space before and after it.

#include "ZuRect.h"

#include <cstdint>

namespace tunola {

enum TScrollBarKind : uint8_t { sbHorizontal, sbVertical };
// The parts in the order the owner drawer gets them. dsLeftBtn is a vertical bar's top arrow.
enum TDrawScrollBar : uint8_t { dsLeftBtn, dsRightBtn, dsTrack, dsSpaceLeft, dsSpaceRight };
inline constexpr int kScrollBarPartCount = 5;
static_assert(dsSpaceRight + 1 == kScrollBarPartCount);
enum TButtonState : uint8_t { bsUp, bsDisabled, bsDown, bsExclusive };

struct TZuScrollRange {
    int Min = 0;
    int Max = 100;
    int PageSize = 0;
    int Position = 0;
    bool Enabled = true;

    // The last position the thumb can stand for: min(Max, Max - Min - PageSize + 1), computed
    // in 64 bits (0 or less means the thumb cannot move).
    int64_t ThumbRange() const;
    // The highest position a step may reach: min(Max, Max - PageSize + 1), never below Min.
    int StepLimit() const;
};

struct TZuScrollBarLayout {
    int ArrowLength = 0;
    int TrackStart = 0;
    int TrackLength = 0;
    int ThumbLength = 0;
    int ThumbStart = 0;
    // The thumb and the two spaces exist only when the bar is long enough for them.
    bool HasThumb = false;
    // Each part's rectangle in the bar's own coordinates; empty for parts that do not exist.
    TZuRect Parts[kScrollBarPartCount];
};

// Thumb length for a track of `trackLength` pixels (before the "fits at all" test).
int ZuThumbLength(int trackLength, const TZuScrollRange& r);
// The whole layout of a bar of width x height pixels.
TZuScrollBarLayout ZuScrollBarLayoutOf(TScrollBarKind kind, int width, int height,
                                       const TZuScrollRange& r);
// The position a dragged thumb standing at `thumbStart` (along the bar) means.
int ZuPositionFromThumb(const TZuScrollBarLayout& l, const TZuScrollRange& r, int thumbStart);
// Position + delta, kept within Min … StepLimit.
int ZuStepPosition(const TZuScrollRange& r, int delta);
// The part under the bar's point (x, y), or -1.
int ZuScrollBarPartAt(const TZuScrollBarLayout& l, int x, int y);

} // namespace tunola
