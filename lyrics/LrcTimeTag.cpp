#include "LrcTimeTag.h"

#include <array>

namespace tunola {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int32_t GroupValue(std::string_view digits) {
    int32_t v = 0;
    for (char c : digits)
        v = v * 10 + (c - '0');
    return v;
}

} // namespace

TLrcTime ConvertTimeTag(std::string_view s) {
    const bool negative = !s.empty() && s.front() == '-';
    if (negative)
        s.remove_prefix(1);

    std::array<std::string_view, 4> groups;
    size_t count = 0;
    char lastSeparator = 0;
    size_t i = 0;
    while (count < groups.size() && i < s.size()) {
        const size_t start = i;
        while (i < s.size() && IsDigit(s[i]))
            ++i;
        std::string_view group = s.substr(start, i - start);
        if (group.empty())
            return {};
        if (group.size() > 2)
            group.remove_prefix(group.size() - 2);
        groups[count++] = group;
        if (i < s.size())
            lastSeparator = s[i++];
    }
    if (count == 0)
        return {};

    int32_t v[4] = {};
    for (size_t k = 0; k < count; ++k)
        v[k] = GroupValue(groups[k]);

    const bool hundredths = lastSeparator == '.';
    int32_t time = 0;
    if (hundredths) {
        switch (count) {
        case 4:
            time = v[0] * 3600000 + v[1] * 60000 + v[2] * 1000 + v[3] * 10;
            break;
        case 3:
            time = v[0] * 60000 + v[1] * 1000 + v[2] * 10;
            break;
        case 2:
            time = v[0] * 1000 + v[1] * 10;
            break;
        default:
            return {};
        }
    } else {
        switch (count) {
        case 3:
            time = v[0] * 3600000 + v[1] * 60000 + v[2] * 1000;
            break;
        case 2:
            time = v[0] * 60000 + v[1] * 1000;
            break;
        case 1:
            time = v[0] * 1000;
            break;
        default:
            return {};
        }
    }

    TLrcTime result;
    for (size_t k = 0; k < count; ++k) {
        if (k > 0)
            result.TimeText += (hundredths && k == count - 1) ? '.' : ':';
        result.TimeText += groups[k];
    }
    if (negative) {
        time = -time;
        if (time != 0)
            result.TimeText.insert(result.TimeText.begin(), '-');
    }
    result.Time = time;
    return result;
}

} // namespace tunola
