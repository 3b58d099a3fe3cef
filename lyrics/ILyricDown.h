#pragma once
// The lyric-download service as the player sees it. An implementation searches a lyric
// server by title and artist and downloads the lyric of one result.
//
// Threads: the player calls every method but Cancel from its lyric loader's worker thread
// (LyricLoader.h), one call at a time, never from the UI thread; Search and Download block while
// the server answers (implementations bound that with time-outs).
// Texts are UTF-8.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tunola {

struct TLyricSearchResult {
    std::string Title;
    std::string Artist;
    int32_t LyricId = 0; // what Download takes
};

class ILyricDown {
public:
    virtual ~ILyricDown() = default;

    // Forgets the results of earlier searches.
    virtual void ClearResults() = 0;

    // Searches and replaces the result list. The player tries modes 0, 2 and 1 in that order
    // until one finds something; what a mode means is the implementation's business.
    // `extra` is always empty when the player calls.
    virtual void Search(std::string_view title, std::string_view artist, std::string_view extra,
                        int32_t mode) = 0;

    // Number of results of the last search; 0 or less means nothing was found.
    virtual int32_t GetCount() const = 0;

    // Result `index`, 0 <= index < GetCount(); a copy, so it outlives the next search.
    virtual TLyricSearchResult GetItem(int32_t index) const = 0;

    // The lyric file's bytes as the server sent them, of any length and in any encoding that
    // lyric files come in; nothing when the download failed.
    virtual std::optional<std::string> Download(int32_t lyricId) = 0;

    // Any thread: a Search or Download under way returns at once with nothing, and so does
    // every later one. The loader calls it when it shuts down, so a slow server never holds up
    // the player's exit.
    virtual void Cancel() {}
};

} // namespace tunola
