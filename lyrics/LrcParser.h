#pragma once
// The LRC parser: lyric text in, tags and timed lines out. It is forgiving: whatever it does not
// understand is skipped and reading resumes at the next "[". It never reads outside the text.

#include "LyricItem.h"

#include <string_view>
#include <vector>

namespace tunola {

struct TParsedLrc {
    TLRCInfo Info;
    std::vector<TLyricItem> Lines; // one per time tag, in the order the tags appear
};

// Several time tags in a row ("[00:12][01:30]Chorus") share the text behind the last of them.
// A line's text runs from its tag to the end of the line or to the next tag, whichever comes
// first. A line ends at CR or LF, so files with any of the usual line ends read alike.
TParsedLrc ParseLrc(std::string_view text);

} // namespace tunola
