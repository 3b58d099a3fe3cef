#include "LyricUpload.h"

#include "TextCodec.h"
#include "WebClient.h"

namespace tunola {

std::string LyricUploadBody(std::string_view titleUtf8, std::string_view artistUtf8,
                            std::string_view lyricUtf8) {
    // The service reads GBK: the byte count that decides "no lyric" is counted there too.
    std::string lyric = Utf8ToGb18030(lyricUtf8);
    if (lyric.size() <= kMinLyricBytes)
        lyric = kNoLyricText;
    return "ltitle=" + UrlEncode(Utf8ToGb18030(titleUtf8)) +
           "&lsinger=" + UrlEncode(Utf8ToGb18030(artistUtf8)) + "&llrc=" + UrlEncode(lyric);
}

} // namespace tunola
