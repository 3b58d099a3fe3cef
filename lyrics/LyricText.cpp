#include "LyricText.h"

#include "AtomicFile.h"
#include "TextCodec.h"

#include <system_error>

namespace tunola {

std::string DecodeLyricFile(std::string_view bytes) {
    const std::string text = DecodeTextFile(bytes);
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> ReadLyricFile(const std::filesystem::path& path) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxLyricFileBytes)
        return std::nullopt;
    std::string bytes;
    if (!ReadWholeFile(path, bytes) || bytes.size() > kMaxLyricFileBytes)
        return std::nullopt;
    return DecodeLyricFile(bytes);
}

} // namespace tunola
