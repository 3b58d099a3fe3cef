#include "LyricFileName.h"

namespace tunola {

namespace {

// Most file systems allow 255 bytes per name; keep well below with the extension.
constexpr size_t kMaxStemBytes = 200;

bool IsRemoved(char c) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
        return true;
    switch (c) {
    case '"':
    case '*':
    case '/':
    case ':':
    case '<':
    case '>':
    case '?':
    case '\\':
    case '|':
        return true;
    default:
        return false;
    }
}

bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

std::string LyricFileName(std::string_view title, std::string_view artist) {
    std::string stem;
    for (std::string_view part : {title, std::string_view(" "), artist}) {
        for (char c : part) {
            if (!IsRemoved(c))
                stem += c;
        }
    }
    if (stem.size() > kMaxStemBytes) {
        size_t cut = kMaxStemBytes;
        while (cut > 0 && IsUtf8Continuation(stem[cut]))
            --cut;
        stem.resize(cut);
    }
    // Blanks are kept (the lookup compares "<title> <artist>" byte for byte), but a stem of
    // nothing but blanks and dots is no name: ". .lrc" or "...lrc" would be hidden or odd.
    if (stem.find_first_not_of(". ") == std::string::npos)
        return {};
    return stem + ".lrc";
}

} // namespace tunola
