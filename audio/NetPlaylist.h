#pragma once
// Internet radio addresses often serve a small playlist (.pls or .m3u) that names the real
// stream. These pure functions recognise such a playlist and take its first entry.

#include <string>
#include <string_view>

namespace tunaudio {

// True when the response looks like a playlist: by its content type, the path of its address,
// or its first bytes.
bool LooksLikePlaylist(std::string_view contentType, std::string_view url,
                       std::string_view firstBytes);

// The first entry of a .pls ("File1=" in the lowest-numbered File line) or .m3u (first line
// that is not empty and not a comment). Empty when there is none.
std::string FirstPlaylistEntry(std::string_view text);

// Resolves `reference` against the address of the playlist it came from: absolute addresses
// stay as they are, "/x" replaces the path, "x" replaces the last path segment.
std::string ResolveUrl(std::string_view base, std::string_view reference);

// True for http:// and https:// addresses (scheme in any case).
bool IsHttpUrl(std::string_view url);

} // namespace tunaudio
