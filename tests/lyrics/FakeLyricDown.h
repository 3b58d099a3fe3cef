#pragma once
// A lyric service without a network: results per search mode, lyrics per id, and a log of
// the calls the player made.

#include "ILyricDown.h"

#include <map>
#include <string>
#include <vector>

namespace tunola {

class TFakeLyricDown : public ILyricDown {
public:
    std::map<int32_t, std::vector<TLyricSearchResult>> ResultsByMode;
    std::map<int32_t, std::optional<std::string>> Lyrics; // missing id: download fails
    std::vector<std::string> Calls;

    void ClearResults() override {
        Calls.push_back("clear");
        results_.clear();
    }
    void Search(std::string_view title, std::string_view artist, std::string_view extra,
                int32_t mode) override {
        Calls.push_back("search " + std::to_string(mode) + " " + std::string(title) + "|" +
                        std::string(artist) + "|" + std::string(extra));
        results_ = ResultsByMode[mode];
    }
    int32_t GetCount() const override { return static_cast<int32_t>(results_.size()); }
    TLyricSearchResult GetItem(int32_t index) const override {
        return results_.at(static_cast<size_t>(index));
    }
    std::optional<std::string> Download(int32_t lyricId) override {
        Calls.push_back("download " + std::to_string(lyricId));
        const auto it = Lyrics.find(lyricId);
        return it == Lyrics.end() ? std::nullopt : it->second;
    }

private:
    std::vector<TLyricSearchResult> results_;
};

} // namespace tunola
