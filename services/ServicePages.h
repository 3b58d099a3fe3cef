#pragma once
// The texts the service answers with, built from database rows. Pure; any thread. Every title,
// artist and keyword is HTML-escaped; share links come from core/ShareLinks.h.

#include "ServiceDb.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tunola::service {

// "/soft/updata.asp": "tunola", three filler characters, the version number from character 10
// up to ",", then the updater's parameter (new version and download address).
// `latest` is "a.b" or empty (then the number is 0 and nothing is offered).
std::string UpdateAnswer(std::string_view latest, std::string_view downloadUrl);
// "a.b" → decimal(a) followed by decimal(b), as the player builds its own number; nothing when
// the text is not two numbers with b below 10.
std::optional<std::string> UpdateNumber(std::string_view latest);

struct TIndexPage {
    std::vector<TSongRow> Songs;
    int Page = 0; // 0-based
    int PageSize = 100;
    int64_t Total = 0; // songs shared
    int FirstRank = 1; // rank of Songs[0]
};
std::string IndexPageHtml(const TIndexPage& page);

std::string SearchSidebarHtml(const std::vector<std::string>& searches,
                              const std::vector<std::string>& artists);
// The document keyword links point to (a browser without the player lands here).
std::string KeywordPageHtml();
// The link of one keyword: "/schweb/go#tun#" + the keyword's GBK bytes percent-encoded.
std::string KeywordHref(std::string_view keyword);

// What a download of a wanted song without a lyric answers.
std::string NoLyricsPageHtml(std::string_view title, std::string_view artist);

// Plain-text result lines of the lyric and music search APIs: fields separated by tabs, one
// result a line; tabs and line breaks inside a field become blanks.
std::string LyricResultLines(const std::vector<TLyricRow>& rows);
std::string MusicResultLines(const std::vector<TSongRow>& rows);

} // namespace tunola::service
