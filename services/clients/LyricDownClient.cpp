#include "LyricDownClient.h"

#include "TabLines.h"
#include "TextCodec.h"
#include "WebClient.h"

#include <charconv>

namespace tunola {

namespace {

// A search answers a few lines; a lyric is at most 1 MiB on the service.
constexpr TWebBounds kSearchBounds{3000, 5000, 10000, 1u << 20};
constexpr TWebBounds kDownloadBounds{3000, 5000, 20000, 2u << 20};

std::string Enc(std::string_view utf8) {
    return UrlEncode(Utf8ToGb18030(utf8));
}

} // namespace

std::vector<TLyricSearchResult> ParseLyricResults(std::string_view body, size_t maxResults) {
    return ReadTabLines<TLyricSearchResult>(
        body, maxResults, [](std::string_view line) -> std::optional<TLyricSearchResult> {
            std::string_view f[3]; // id, title, artist (the rest of the line)
            if (!SplitTabFields(line, f, 3, true))
                return std::nullopt;
            int32_t id = 0;
            const auto [ptr, ec] = std::from_chars(f[0].data(), f[0].data() + f[0].size(), id);
            if (ec != std::errc() || ptr != f[0].data() + f[0].size() || id == 0)
                return std::nullopt;
            return TLyricSearchResult{std::string(f[1]), std::string(f[2]), id};
        });
}

TLyricDownClient::TLyricDownClient(std::string host) : base_("http://" + std::move(host)) {}

void TLyricDownClient::ClearResults() {
    results_.clear();
}

void TLyricDownClient::Search(std::string_view title, std::string_view artist, std::string_view,
                              int32_t mode) {
    results_.clear();
    if (title.empty())
        return; // the service needs a title
    const std::string body = WebGet(base_ + "/api/lyrics/search?title=" + Enc(title) +
                                        "&artist=" + Enc(artist) + "&mode=" + std::to_string(mode),
                                    kSearchBounds, &cancel_);
    results_ = ParseLyricResults(body);
}

int32_t TLyricDownClient::GetCount() const {
    return static_cast<int32_t>(results_.size());
}

TLyricSearchResult TLyricDownClient::GetItem(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= results_.size())
        return {};
    return results_[static_cast<size_t>(index)];
}

std::optional<std::string> TLyricDownClient::Download(int32_t lyricId) {
    TWebResponse r = WebGetResponse(base_ + "/api/lyrics/get?id=" + std::to_string(lyricId),
                                    kDownloadBounds, &cancel_);
    if (!r.ok)
        return std::nullopt;
    return std::move(r.body);
}

void TLyricDownClient::Cancel() {
    cancel_.Cancel();
}

} // namespace tunola
