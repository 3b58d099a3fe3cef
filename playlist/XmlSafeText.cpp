#include "XmlSafeText.h"

#include <cstdint>

namespace tunola {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

bool AllowedInXml(uint32_t cp) {
    if (cp < 0x20)
        return cp == 0x09 || cp == 0x0A || cp == 0x0D;
    return cp != 0xFFFE && cp != 0xFFFF;
}

// Length of the valid UTF-8 sequence at `i` and its code point; 0 when invalid (overlong forms,
// surrogates and values above U+10FFFF included).
size_t DecodeOne(std::string_view s, size_t i, uint32_t& cp) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    size_t len;
    uint32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, min = 0x80, cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, min = 0x800, cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, min = 0x10000, cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size())
        return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

} // namespace

std::string XmlSafeText(std::string_view text) {
    std::string out;
    size_t copied = 0; // text[0, copied) is already in `out`
    size_t i = 0;
    while (i < text.size()) {
        uint32_t cp = 0;
        const size_t len = DecodeOne(text, i, cp);
        if (len > 0 && AllowedInXml(cp)) {
            i += len;
            continue;
        }
        if (out.empty())
            out.reserve(text.size() + 8);
        out.append(text, copied, i - copied);
        out += kReplacement;
        i += len > 0 ? len : 1;
        copied = i;
    }
    if (copied == 0)
        return std::string(text);
    out.append(text, copied, std::string_view::npos);
    return out;
}

} // namespace tunola

namespace tunola {

void AppendXmlAttributeValue(std::string& out, std::string_view value) {
    size_t plain = 0; // value[plain, i) is still to be copied
    for (size_t i = 0; i < value.size(); ++i) {
        const char* escaped;
        switch (value[i]) {
        case '\n':
            escaped = "&#10;";
            break;
        case '\r':
            escaped = "&#13;";
            break;
        case '\t':
            escaped = "&#9;";
            break;
        case '"':
            escaped = "&quot;";
            break;
        case '<':
            escaped = "&lt;";
            break;
        case '>':
            escaped = "&gt;";
            break;
        case '&':
            escaped = "&amp;";
            break;
        default:
            continue;
        }
        out.append(value, plain, i - plain);
        out += escaped;
        plain = i + 1;
    }
    out.append(value, plain, std::string_view::npos);
}

} // namespace tunola
