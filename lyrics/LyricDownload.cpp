#include "LyricDownload.h"

#include "AtomicFile.h"
#include "LyricFileName.h"
#include "LyricText.h"
#include "Similarity.h"

#include <array>
#include <optional>
#include <system_error>

namespace tunola {

namespace {

constexpr int32_t kSearchModes[] = {0, 2, 1};

bool SearchUntilFound(ILyricDown& service, std::string_view title, std::string_view artist) {
    service.ClearResults();
    for (int32_t mode : kSearchModes) {
        service.Search(title, artist, {}, mode);
        if (service.GetCount() > 0)
            return true;
    }
    return false;
}

// best[score] holds the first result that raised the best score to `score`; -1 elsewhere.
// A result that only ties an earlier one, or scores 0, is never tried.
std::array<int32_t, 101> RankResults(const ILyricDown& service, std::string_view title,
                                     std::string_view artist) {
    std::array<int32_t, 101> best;
    best.fill(-1);
    const std::string wanted = MatchBytes(std::string(title) + std::string(artist));
    int bestScore = 0;
    const int32_t count = service.GetCount();
    for (int32_t i = 0; i < count; ++i) {
        const TLyricSearchResult result = service.GetItem(i);
        const int score = Similarity(MatchBytes(result.Title + result.Artist), wanted, true);
        if (score > bestScore) {
            bestScore = score;
            best[static_cast<size_t>(score)] = i;
        }
    }
    return best;
}

bool IsUsableLyric(std::string_view text) {
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return false;
    return LowerAscii(text).find(kNoLyricsPage) == std::string::npos;
}

} // namespace

TLyricDownloadResult DownloadLyrics(ILyricDown* service, std::string_view title,
                                    std::string_view artist,
                                    const std::filesystem::path& lyricDir) {
    TLyricDownloadResult result;
    if (!service || !SearchUntilFound(*service, title, artist))
        return result;

    const std::array<int32_t, 101> ranked = RankResults(*service, title, artist);
    for (auto it = ranked.rbegin(); it != ranked.rend(); ++it) {
        if (*it < 0)
            continue;
        const std::optional<std::string> bytes = service->Download(service->GetItem(*it).LyricId);
        if (!bytes || bytes->size() > kMaxLyricFileBytes)
            continue;
        std::string text = DecodeLyricFile(*bytes);
        if (!IsUsableLyric(text))
            continue;

        result.Text = std::move(text);
        std::error_code ec;
        if (!std::filesystem::is_directory(lyricDir, ec)) {
            result.Warning = kLyricDirWarningText;
            return result;
        }
        const std::string name = LyricFileName(title, artist);
        if (name.empty())
            return result;
        const std::filesystem::path target = lyricDir / PathFromUtf8(name);
        if (WriteFileAtomically(target, result.Text))
            result.SavedPath = target;
        return result;
    }
    return result;
}

} // namespace tunola
