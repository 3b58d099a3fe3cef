#pragma once
// The music-search service as the player sees it: search by text and format kind, results with
// title, artist and a link key/parameter, and the playable address for a key and parameter.
//
// Threads: the search window's worker calls Search, GetCount and GetItem; the UI thread calls
// ClearResults, GetItem and GetSongUrl. Implementations lock inside, so any mix of those calls
// from the two threads is safe. GetItem hands out a copy, so a ClearResults on the UI thread
// never invalidates what the worker holds. GetSongUrl makes no network call (the UI thread uses it).
// Texts are UTF-8.

#include <cstdint>
#include <string>
#include <string_view>

namespace tunola {

struct TMusicSearchResult {
    std::string Title;
    std::string Artist;
    std::string LinkKey;   // handed back to GetSongUrl
    int32_t LinkParam = 0; // handed back to GetSongUrl
};

class IMusicSearch {
public:
    virtual ~IMusicSearch() = default;

    // Result `index` of the last search, 0 <= index < GetCount(); an empty record otherwise.
    virtual TMusicSearchResult GetItem(int32_t index) const = 0;

    // Number of results of the last search; 0 or less means nothing was found.
    virtual int32_t GetCount() const = 0;

    // Forgets the previous results.
    virtual void ClearResults() = 0;

    // The playable address of a result, computed from its key and parameter.
    virtual std::string GetSongUrl(std::string_view linkKey, int32_t linkParam) const = 0;

    // Replaces the results; returns when they are ready (bounded by the web client's time-outs).
    // kind 0 = MP3, 1 = every other format the service offers.
    virtual void Search(std::string_view text, int32_t kind) = 0;
};

} // namespace tunola
