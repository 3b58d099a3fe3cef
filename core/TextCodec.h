#pragma once
// Text at the byte boundaries of the program. Inside, text is UTF-8; lyric files, skin files,
// old MP3 tags and the music service speak the Chinese national code page (GBK, read as its
// superset GB18030). All functions are pure and may be called from any thread.

#include <cstdint>
#include <string>
#include <string_view>

namespace tunola {

bool IsValidUtf8(std::string_view bytes);

// Appends code point `cp` (below 0x110000) to `out` as UTF-8.
void AppendUtf8(std::string& out, uint32_t cp);

// GB18030 bytes → UTF-8. Bytes that are not valid GB18030 become U+FFFD.
std::string Gb18030ToUtf8(std::string_view bytes);

// UTF-8 → GB18030 bytes (GB18030 covers all of Unicode, so nothing is lost).
// Invalid UTF-8 input bytes are passed through unchanged.
std::string Utf8ToGb18030(std::string_view utf8);

// UTF-16 (little- or big-endian, without BOM) → UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

// Decodes the bytes of a text file: a byte-order mark (UTF-8, UTF-16 LE/BE) or valid UTF-8 is
// taken as such; anything else is read as GB18030. The BOM is not part of the result.
std::string DecodeTextFile(std::string_view bytes);

} // namespace tunola
