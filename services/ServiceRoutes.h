#pragma once
// What each path of the service answers. The handlers run on the server's workers, each with
// its own database connection; they share only the database object and the read-only context.

#include "ServiceDb.h"

#include <filesystem>
#include <string>

namespace httplib {
class Server;
}

namespace tunola::service {

inline constexpr size_t kMaxLyricBytes = 1024 * 1024;
// A percent-encoded lyric of kMaxLyricBytes takes up to three times as many, plus the title.
inline constexpr size_t kMaxUploadBytes = 3 * kMaxLyricBytes + 64 * 1024;
// The player marks a track without lyrics with this lyric text.
inline constexpr std::string_view kNoLyricMarker = "tun_12345";

struct TServiceContext {
    TServiceDb* Db = nullptr;
    std::filesystem::path MusicDir; // empty: nothing is shared
    std::string LatestVersion, DownloadUrl;
};

// Installs every path, the error answers and the request log on `server`.
void InstallRoutes(httplib::Server& server, const TServiceContext& context);

} // namespace tunola::service
