#pragma once
// The form body of a lyric upload to the service's "/lrcpost.asp". Pure; any thread.

#include <string>
#include <string_view>

namespace tunola {

// What a track without lyrics sends in place of its lyric, so the service learns it is wanted.
inline constexpr std::string_view kNoLyricText = "tun_12345";
// A lyric of at most this many bytes (GBK) counts as none.
inline constexpr size_t kMinLyricBytes = 20;

// "ltitle=…&lsinger=…&llrc=…": the GBK bytes of each UTF-8 text, percent-encoded (UrlEncode);
// a lyric of kMinLyricBytes bytes or fewer goes as kNoLyricText.
std::string LyricUploadBody(std::string_view titleUtf8, std::string_view artistUtf8,
                            std::string_view lyricUtf8);

} // namespace tunola
