#pragma once
// Reading the shared music folder: every playable file below it, with its tags (TagLib).
// Runs on whichever thread calls it (the service's scanner thread); touches only the folder.

#include "ServiceDb.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tunola::service {

// Lower-case extensions the service shares, and their content types.
std::optional<std::string_view> ContentTypeOf(std::string_view extension);

// Walks `root` recursively (symbolic links to folders are not followed, files whose real path
// lies outside `root` are left out). Title falls back to the file name, artist to "".
std::vector<TScanEntry> ScanMusicFolder(const std::filesystem::path& root);

// The real path of `relative` below `root`, when it exists as a regular file and its real path
// (all links resolved) stays inside the real `root`. No "..", no absolute paths.
std::optional<std::filesystem::path> ResolveInside(const std::filesystem::path& root,
                                                   std::string_view relative);

} // namespace tunola::service
