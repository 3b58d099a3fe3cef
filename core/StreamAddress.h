#pragma once
// Whether a playlist item is a network address the player streams rather than a file: the one
// list of schemes for the command line, the remote, adding items and reading playlists.
// Pure; any thread.

#include <array>
#include <cctype>
#include <string_view>

namespace tunola {

inline bool IsStreamAddress(std::string_view item) {
    static constexpr std::array<std::string_view, 7> kSchemes = {
        "http://", "https://", "ftp://", "mms://", "mmsh://", "rtsp://", "icy://"};
    for (const std::string_view scheme : kSchemes) {
        if (item.size() < scheme.size())
            continue;
        bool same = true;
        for (size_t i = 0; i < scheme.size() && same; ++i)
            same = std::tolower(static_cast<unsigned char>(item[i])) == scheme[i];
        if (same)
            return true;
    }
    return false;
}

} // namespace tunola
