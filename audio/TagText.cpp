#include "TagText.h"

#include "TextCodec.h"

namespace tunaudio {

namespace {

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool IsAscii(std::string_view bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

bool LooksLikeGbk(std::string_view bytes) {
    size_t pairs = 0;
    size_t gb2312 = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80)
            continue;
        if (lead == 0x80 || lead == 0xFF)
            return false;
        if (i + 1 == bytes.size())
            break; // a character cut off by the field's length
        const auto trail = static_cast<unsigned char>(bytes[i + 1]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF)
            return false;
        ++pairs;
        if (lead >= 0xA1 && lead <= 0xF7 && trail >= 0xA1)
            ++gb2312;
        ++i;
    }
    // An accented Latin-1 letter followed by a plain one ("ö" + "r") also pairs, but never
    // into the GB2312 block; real Chinese text is almost all GB2312.
    return pairs > 0 && gb2312 * 2 > pairs;
}

std::string DecodeLegacyTagText(std::string_view bytes) {
    while (!bytes.empty() && (bytes.back() == '\0' || bytes.back() == ' '))
        bytes.remove_suffix(1);
    if (IsAscii(bytes) || tunola::IsValidUtf8(bytes))
        return std::string(bytes);
    if (LooksLikeGbk(bytes)) {
        const auto last = static_cast<unsigned char>(bytes.back());
        std::string_view whole = bytes;
        // Drop a lead byte whose partner the field had no room for.
        size_t i = 0;
        while (i < bytes.size())
            i += static_cast<unsigned char>(bytes[i]) >= 0x80 ? 2 : 1;
        if (i > bytes.size() && last >= 0x80)
            whole.remove_suffix(1);
        return tunola::Gb18030ToUtf8(whole);
    }
    return Latin1ToUtf8(bytes);
}

} // namespace tunaudio
