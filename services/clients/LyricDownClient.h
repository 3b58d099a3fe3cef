#pragma once
// The player's lyric download against tunola-service (lrcdown): searches the service's lyric
// list by title and artist and fetches one lyric by its id.
//
// The service's lyric API:
//   GET /api/lyrics/search?title=T&artist=A&mode=M  (T, A: GBK bytes, percent-encoded)
//       → one line per result: id TAB title TAB artist (UTF-8); mode 0 exact, 2 normalised
//         (brackets, blanks and punctuation dropped), 1 the title alone
//   GET /api/lyrics/get?id=N → the lyric's bytes as uploaded (a negative id: the service's page
//       for a song someone wants a lyric for)
//
// Threads: one caller at a time (the player's lyric loader worker); each call blocks within the
// web client's bounds. Cancel may come from any other thread (the web client's TWebCancel).

#include "ILyricDown.h"
#include "WebClient.h"

#include <string>
#include <vector>

namespace tunola {

// The result lines of a lyric search; lines that are not "id TAB title TAB artist" with an id
// in range are skipped, and at most `maxResults` are kept.
std::vector<TLyricSearchResult> ParseLyricResults(std::string_view body, size_t maxResults = 200);

class TLyricDownClient : public ILyricDown {
public:
    // `host`: "host" or "host:port" of the service.
    explicit TLyricDownClient(std::string host);

    void ClearResults() override;
    void Search(std::string_view title, std::string_view artist, std::string_view extra,
                int32_t mode) override;
    int32_t GetCount() const override;
    TLyricSearchResult GetItem(int32_t index) const override;
    std::optional<std::string> Download(int32_t lyricId) override;
    void Cancel() override;

private:
    std::string base_; // "http://" + host
    std::vector<TLyricSearchResult> results_;
    TWebCancel cancel_;
};

} // namespace tunola
