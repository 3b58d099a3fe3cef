#pragma once
// TLyricHandle: a lyric as a list of timed lines plus its identification tags, read from LRC
// text and written back in one of four layouts. No file access: callers hand in the text.
// Not thread-safe; one owner at a time.

#include "LyricItem.h"

#include <string>
#include <string_view>
#include <vector>

namespace tunola {

// The layouts of ToText.
enum TLyricLayout : int {
    llMergedLrc = 0,    // "[t1][t2]text": equal texts written once with all their tags
    llMilliseconds = 1, // "[Time - Offset]text"
    llTimeList = 2,     // "%10s,%s" of Time and text, no tag lines: the lyric display reads this
    llWholeSeconds = 3, // "[TimeText up to its '.']text"
};

class TLyricHandle {
public:
    TLRCInfo Info; // tags of the last parse

    // Empties the lines and the tags.
    void Clear();

    int Count() const { return static_cast<int>(lines_.size()); }
    const std::vector<TLyricItem>& Lines() const { return lines_; }

    // Items are copied in and out; an index out of range throws std::out_of_range.
    void AddItem(const TLyricItem& item);
    void InsertItem(int index, const TLyricItem& item);
    TLyricItem GetItem(int index) const;
    void DeleteItem(int index);

    // Stable ascending sort by Time.
    void SortByTime();

    // Clear, then read the tags and the timed lines of an LRC text (UTF-8; any line ends).
    void Parse(std::string_view text);

    // The lines in the given layout, sorted by time, each ending in CR LF. Layouts other than
    // llTimeList start with InfoText and an empty line. No lines (or an unknown layout) give an
    // empty text. The object is left as it was.
    std::string ToText(int layout) const;

    // The tags as LRC lines ("[La:]", "[Ti:]", "[Al:]", "[Ar:]", "[By:]", "[Offset:]"), only
    // those that are set. Trims the five tag strings in place first.
    std::string InfoText();

private:
    std::vector<TLyricItem> lines_;
};

} // namespace tunola
