// Any text given to the lyric parser: it must neither crash nor read outside the text, and
// writing the result as merged LRC and reading that back must give the same timed lines.
//
// The round trip is checked where LRC can express the lines at all: a text or tag value that
// holds "[" may read back as a tag, and a "[" with fewer than five characters behind it (a
// short last tag such as "[5]x") is never a tag.

#include "LyricHandle.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

using tunola::TLyricHandle;
using tunola::TLyricItem;

bool Expressible(const TLyricHandle& lyric, std::string_view written) {
    for (const TLyricItem& line : lyric.Lines()) {
        if (line.Text.find('[') != std::string::npos)
            return false;
    }
    const tunola::TLRCInfo& info = lyric.Info;
    for (const std::string* value :
         {&info.Title, &info.By, &info.Language, &info.Artist, &info.Album}) {
        if (value->find('[') != std::string::npos)
            return false;
    }
    // The last tag of the last line; the texts hold no "[" any more.
    const std::string_view body = written.substr(0, written.size() - 2);
    return body.size() - (body.rfind('[') + 1) >= 5;
}

std::vector<std::tuple<int32_t, std::string, std::string>> Timed(const TLyricHandle& lyric) {
    std::vector<std::tuple<int32_t, std::string, std::string>> out;
    for (const TLyricItem& line : lyric.Lines())
        out.emplace_back(line.Time, line.Text, line.TimeText);
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so that reading one byte too far is caught.
    std::unique_ptr<char[]> copy(new char[size ? size : 1]);
    if (size)
        std::memcpy(copy.get(), data, size);
    TLyricHandle lyric;
    lyric.Parse(std::string_view(copy.get(), size));

    const std::string merged = lyric.ToText(tunola::llMergedLrc);
    for (int layout = tunola::llMilliseconds; layout <= tunola::llWholeSeconds; ++layout)
        lyric.ToText(layout);
    if (lyric.Count() == 0 || !Expressible(lyric, merged))
        return 0;

    TLyricHandle again;
    again.Parse(merged);
    if (Timed(again) != Timed(lyric))
        std::abort();
    return 0;
}
