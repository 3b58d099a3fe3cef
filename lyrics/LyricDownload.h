#pragma once
// Downloading the lyric of a track through the lyric-download service and keeping it in the
// lyric folder. Runs on the lyric loader's worker thread (the service blocks while the server
// answers); one call at a time per service.

#include "ILyricDown.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace tunola {

inline constexpr std::string_view kLyricDirWarningCaption = "警告";
inline constexpr std::string_view kLyricDirWarningText =
    "默认的歌词存放目录错误或不存在，请重新设定一个目录。";

// The page the lyric server sends for a song it has no lyric for (compared in lower case).
inline constexpr std::string_view kNoLyricsPage = "暂无歌词<script>";

struct TLyricDownloadResult {
    std::string Text;                // the lyric, lines ending in CR LF; empty: nothing usable
    std::filesystem::path SavedPath; // where it was saved; empty when it was not
    std::string Warning; // kLyricDirWarningText when the lyric folder is missing: the caller
                         // shows it under kLyricDirWarningCaption; empty otherwise
};

// Searches with modes 0, 2 and 1 until one finds something, ranks the results by how well
// "<title><artist>" matches, and downloads from the best down until a result is a real lyric
// (not empty, not the no-lyrics page). That lyric is saved atomically in `lyricDir` as
// "<title> <artist>.lrc". A null service finds nothing.
TLyricDownloadResult DownloadLyrics(ILyricDown* service, std::string_view title,
                                    std::string_view artist, const std::filesystem::path& lyricDir);

} // namespace tunola
