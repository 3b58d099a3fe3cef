#include "TextKeys.h"

#include "TextCodec.h"

#include <cstdint>
#include <vector>

namespace tunola::service {

namespace {

// Decodes one code point at `i` (advancing it); an invalid byte is returned as itself + 0x110000
// so that it never equals a real character.
uint32_t NextCodePoint(std::string_view s, size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    int len = b0 < 0x80 ? 1 : (b0 >> 5) == 6 ? 2 : (b0 >> 4) == 14 ? 3 : (b0 >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + static_cast<size_t>(len) > s.size()) {
        ++i;
        return 0x110000u + b0;
    }
    uint32_t cp = len == 1 ? b0 : b0 & (0x7Fu >> len);
    for (int k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0x110000u + b0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += static_cast<size_t>(len);
    return cp;
}

// Appends a code point from NextCodePoint: an invalid byte goes back out as itself.
void Append(std::string& out, uint32_t cp) {
    if (cp >= 0x110000u)
        out += static_cast<char>(cp - 0x110000u);
    else
        AppendUtf8(out, cp);
}

std::vector<uint32_t> CodePoints(std::string_view s) {
    std::vector<uint32_t> cps;
    for (size_t i = 0; i < s.size();)
        cps.push_back(NextCodePoint(s, i));
    return cps;
}

bool IsSpace(uint32_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v' ||
           c == 0x3000 || c == 0xA0;
}

uint32_t Lower(uint32_t c) {
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
}

uint32_t HalfWidth(uint32_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E)
        return c - 0xFEE0;
    if (c == 0x3000)
        return ' ';
    return c;
}

bool IsOpen(uint32_t c) {
    return c == '(' || c == '[' || c == '{' || c == 0x3010 || c == 0x300A;
}
bool IsClose(uint32_t c) {
    return c == ')' || c == ']' || c == '}' || c == 0x3011 || c == 0x300B;
}

bool IsPunct(uint32_t c) {
    if (c < 0x80)
        return !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'));
    // CJK symbols and punctuation, general punctuation, middle dots.
    return (c >= 0x3000 && c <= 0x303F) || (c >= 0x2000 && c <= 0x206F) || c == 0xB7 ||
           c == 0x30FB || (c >= 0xFE30 && c <= 0xFE4F);
}

} // namespace

std::string ExactKey(std::string_view utf8) {
    std::string out;
    bool pendingSpace = false;
    for (uint32_t c : CodePoints(utf8)) {
        if (IsSpace(c)) {
            pendingSpace = !out.empty();
            continue;
        }
        if (pendingSpace)
            out += ' ';
        pendingSpace = false;
        Append(out, Lower(c));
    }
    return out;
}

std::string LooseKey(std::string_view utf8) {
    std::string out;
    int depth = 0;
    for (uint32_t c : CodePoints(utf8)) {
        c = Lower(HalfWidth(c));
        if (IsOpen(c)) {
            ++depth;
            continue;
        }
        if (IsClose(c)) {
            if (depth > 0)
                --depth;
            continue;
        }
        if (depth > 0 || IsSpace(c) || IsPunct(c))
            continue;
        Append(out, c);
    }
    // A title that is nothing but a bracketed part keeps its exact key.
    return out.empty() ? ExactKey(utf8) : out;
}

size_t CharCount(std::string_view utf8) {
    size_t n = 0;
    for (size_t i = 0; i < utf8.size(); ++n)
        NextCodePoint(utf8, i);
    return n;
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace tunola::service
