#pragma once
// Lyric files as text. Lyric files come from everywhere: old ones in the Chinese national code
// page, newer ones in UTF-8 or UTF-16, with Windows, Unix or old Mac line ends.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tunola {

// Lyrics are a few kilobytes. Anything much larger is not a lyric and is refused rather than
// parsed into millions of lines.
inline constexpr std::uintmax_t kMaxLyricFileBytes = 1024 * 1024;

// A byte-order mark (UTF-8, UTF-16 LE/BE) or valid UTF-8 is taken as such, anything else is
// read as GB18030. Every line end (CR LF, LF or CR) becomes CR LF.
std::string DecodeLyricFile(std::string_view bytes);

// Reads and decodes a lyric file; nothing when it cannot be read or is too large.
// Any thread; blocks on disk I/O.
std::optional<std::string> ReadLyricFile(const std::filesystem::path& path);

} // namespace tunola
