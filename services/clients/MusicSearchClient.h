#pragma once
// The player's music search against tunola-service (msearch):
//   GET /api/music/search?q=TEXT&kind=K  (TEXT: GBK bytes, percent-encoded; K 0 = MP3, 1 = other)
//       → one line per song: title TAB artist TAB link key TAB link parameter (UTF-8)
// The link key is the song's share name ("mm<id>.<ext>", ShareLinks.h) or a full http(s)
// address; the parameter is the song's id. The playable address follows from the key alone, so
// GetSongUrl never asks the network.
//
// Threads: the search window's worker runs Search (and GetCount, GetItem); the UI thread runs
// ClearResults, GetItem and GetSongUrl. The result list is under mutex_; Search waits for the
// network without holding it and swaps the new list in at the end, so the UI never waits for
// a search.

#include "IMusicSearch.h"

#include <mutex>
#include <string>
#include <vector>

namespace tunola {

// The result lines of a music search; malformed lines are skipped, at most `maxResults` kept.
std::vector<TMusicSearchResult> ParseMusicResults(std::string_view body, size_t maxResults = 500);

// The playable address of a result on the service at `host`: a relative share name goes behind
// "http://" + host + "/share/", an http(s) address stays as it is; empty for a key that is
// neither (a name with "/", "\\", "..", a control character or another scheme).
std::string MusicSongUrl(std::string_view host, std::string_view linkKey);

class TMusicSearchClient : public IMusicSearch {
public:
    explicit TMusicSearchClient(std::string host);

    TMusicSearchResult GetItem(int32_t index) const override;
    int32_t GetCount() const override;
    void ClearResults() override;
    std::string GetSongUrl(std::string_view linkKey, int32_t linkParam) const override;
    void Search(std::string_view text, int32_t kind) override;

private:
    const std::string host_;
    mutable std::mutex mutex_;
    std::vector<TMusicSearchResult> results_;
};

} // namespace tunola
