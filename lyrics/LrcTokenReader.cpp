#include "LrcTokenReader.h"

namespace tunola {

TLrcCharClass LrcCharClass(char c) {
    if (c >= '0' && c <= '9')
        return TLrcCharClass::Digit;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
        return TLrcCharClass::Letter;
    if ((c >= '!' && c <= '/') || (c >= ':' && c <= '@') || (c >= '[' && c <= '`') ||
        (c >= '{' && c <= '~'))
        return TLrcCharClass::Sign;
    return TLrcCharClass::None;
}

TLrcToken ReadLrcToken(std::string_view text, size_t& pos) {
    const size_t n = text.size();
    while (pos < n && LrcCharClass(text[pos]) == TLrcCharClass::None)
        ++pos;
    if (pos >= n)
        return {};
    const size_t start = pos;
    const TLrcCharClass kind = LrcCharClass(text[start]);
    size_t end = start + 1;
    if (kind != TLrcCharClass::Sign) {
        while (end + 1 < n && LrcCharClass(text[end]) == kind)
            ++end;
    }
    pos = end;
    return {kind, text.substr(start, end - start), start};
}

} // namespace tunola
