#include "MusicSearchClient.h"

#include "ShareLinks.h"
#include "TabLines.h"
#include "TextCodec.h"
#include "WebClient.h"

#include <charconv>

namespace tunola {

namespace {

constexpr TWebBounds kSearchBounds{3000, 5000, 15000, 2u << 20};

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
        if (c != prefix[i])
            return false;
    }
    return true;
}

} // namespace

std::vector<TMusicSearchResult> ParseMusicResults(std::string_view body, size_t maxResults) {
    return ReadTabLines<TMusicSearchResult>(
        body, maxResults, [](std::string_view line) -> std::optional<TMusicSearchResult> {
            std::string_view f[4]; // title, artist, link key, link parameter
            if (!SplitTabFields(line, f, 4) || f[2].empty())
                return std::nullopt;
            int32_t param = 0;
            const auto [ptr, ec] = std::from_chars(f[3].data(), f[3].data() + f[3].size(), param);
            if (ec != std::errc() || ptr != f[3].data() + f[3].size())
                return std::nullopt;
            return TMusicSearchResult{std::string(f[0]), std::string(f[1]), std::string(f[2]),
                                      param};
        });
}

std::string MusicSongUrl(std::string_view host, std::string_view key) {
    if (key.empty() || host.empty())
        return {};
    for (unsigned char c : key)
        if (c < 0x21 || c == 0x7F)
            return {};
    if (StartsWithNoCase(key, "http://") || StartsWithNoCase(key, "https://"))
        return std::string(key);
    if (key.find('/') != std::string_view::npos || key.find('\\') != std::string_view::npos ||
        key.find("..") != std::string_view::npos || key.find(':') != std::string_view::npos)
        return {};
    return "http://" + std::string(host) + std::string(kShareBasePath) + std::string(key);
}

TMusicSearchClient::TMusicSearchClient(std::string host) : host_(std::move(host)) {}

TMusicSearchResult TMusicSearchClient::GetItem(int32_t index) const {
    std::lock_guard lock(mutex_);
    if (index < 0 || static_cast<size_t>(index) >= results_.size())
        return {};
    return results_[static_cast<size_t>(index)];
}

int32_t TMusicSearchClient::GetCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int32_t>(results_.size());
}

void TMusicSearchClient::ClearResults() {
    std::lock_guard lock(mutex_);
    results_.clear();
}

std::string TMusicSearchClient::GetSongUrl(std::string_view linkKey, int32_t) const {
    // The parameter is the song's id, already part of its share name.
    return MusicSongUrl(host_, linkKey);
}

void TMusicSearchClient::Search(std::string_view text, int32_t kind) {
    std::vector<TMusicSearchResult> found;
    if (kind == 0 || kind == 1) {
        const std::string body =
            WebGet("http://" + host_ + "/api/music/search?q=" + UrlEncode(Utf8ToGb18030(text)) +
                       "&kind=" + std::to_string(kind),
                   kSearchBounds);
        found = ParseMusicResults(body);
    }
    std::lock_guard lock(mutex_);
    results_ = std::move(found);
}

} // namespace tunola
