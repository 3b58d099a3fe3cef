#include "ZuSkinValues.h"

#include "PercentCoding.h"

#include <algorithm>
#include <limits>

namespace tunola {

namespace {

// A character's value as a digit up to base 16; 99 for anything else, beyond every base.
int DigitValue(char c) {
    const int value = HexDigitValue(c);
    return value < 0 ? 99 : value;
}

int16_t ToInt16(int32_t value) {
    return int16_t(std::clamp<int32_t>(value, std::numeric_limits<int16_t>::min(),
                                       std::numeric_limits<int16_t>::max()));
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

} // namespace

std::optional<int32_t> ParseSkinInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';

    int base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    } else if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        i += 1;
    }
    if (i == text.size())
        return std::nullopt;

    // Decimal: the magnitude may reach 2^31 only for a negative number. Hexadecimal: any
    // 32-bit pattern.
    const uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit >= base)
            return std::nullopt;
        magnitude = magnitude * uint64_t(base) + uint64_t(digit);
        if (magnitude > limit)
            return std::nullopt;
    }
    uint32_t bits = uint32_t(magnitude);
    if (negative)
        bits = 0u - bits;
    return int32_t(bits);
}

int32_t SkinInteger(std::string_view text) {
    return ParseSkinInteger(text).value_or(0);
}

int16_t SkinInt16(std::string_view text) {
    return ToInt16(SkinInteger(text));
}

uint8_t SkinByte(std::string_view text) {
    return uint8_t(std::clamp<int32_t>(SkinInteger(text), 0, 255));
}

TZuPiece ParseSkinRect(std::string_view text) {
    int16_t parts[4] = {};
    size_t start = 0;
    for (int n = 0; n < 4; ++n) {
        const size_t comma = text.find(',', start);
        const bool last = n == 3;
        // The last number runs to the end; a further comma makes it malformed.
        if (last != (comma == std::string_view::npos))
            return {};
        const std::string_view piece =
            text.substr(start, last ? std::string_view::npos : comma - start);
        const std::optional<int32_t> value = ParseSkinInteger(piece);
        if (!value)
            return {};
        parts[n] = ToInt16(*value);
        start = comma + 1;
    }
    return {parts[0], parts[1], parts[2], parts[3]};
}

bool SkinNameEquals(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

} // namespace tunola
