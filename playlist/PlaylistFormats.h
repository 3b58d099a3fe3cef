#pragma once
// Playlists of other players: M3U/M3U8 (with #EXTINF), INI-style PLS and XSPF, read from bytes
// and written to bytes. Files stay outside: the caller reads and writes them.
//
// Reading follows what other players write: relative paths (against the list's folder),
// Windows separators, "file://" URIs with percent-encoded names, CRLF line ends, a byte-order
// mark, and M3U files in the Chinese national code page (anything that is not UTF-8 is read as
// GB18030). Pure functions; any thread.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tunola {

enum class TListFormat {
    Unknown, // none of the formats below
    Native,  // the player's own XML list
    M3u,
    Pls,
    Xspf,
};

// One entry of a foreign list.
struct TListEntry {
    std::string Location; // an absolute local path, or a stream address
    bool IsUrl = false;
    std::string Title;  // empty when the list has none
    std::string Artist; // empty when the list has none
    double Seconds = 0; // 0 when unknown
};

// What the bytes are, by their content. A list without any header (a bare M3U of paths) is
// only taken as M3U when `fileName` ends in .m3u or .m3u8 and the bytes are text.
TListFormat DetectListFormat(std::string_view bytes, std::string_view fileName);

// The entries of a foreign list (M3U, PLS or XSPF). `listFolder` is the folder of the list
// (with or without a trailing "/"), against which relative locations resolve. Nothing when the
// bytes are not a list of that format.
std::optional<std::vector<TListEntry>> ParseForeignList(std::string_view bytes, TListFormat format,
                                                        std::string_view listFolder);

// The lists other players read: M3U8 (UTF-8, #EXTINF), PLS version 2, XSPF with file URIs.
std::string WriteM3u8(const std::vector<TListEntry>& entries);
std::string WritePls(const std::vector<TListEntry>& entries);
std::string WriteXspf(const std::vector<TListEntry>& entries);

// "file:///a%20b.mp3" -> "/a b.mp3"; nothing when `uri` is not a local file URI.
std::optional<std::string> LocalPathFromUri(std::string_view uri);
// "/a b.mp3" -> "file:///a%20b.mp3" (UTF-8 bytes outside the unreserved set percent-encoded).
std::string FileUriFromPath(std::string_view path);

} // namespace tunola
