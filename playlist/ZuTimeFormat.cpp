#include "ZuTimeFormat.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace tunola {

namespace {

void Append(std::string& out, int64_t value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*lld", digits, static_cast<long long>(value));
    out += text;
}

} // namespace

std::string FormatTimeOfDay(std::string_view format, double days) {
    // The time of day of the value, rounded to the millisecond; a length is never negative but
    // a damaged file may say so, and such a value shows like its distance from midnight.
    int64_t ms = 0;
    if (std::isfinite(days)) {
        const double part = std::fabs(days - std::trunc(days));
        ms = std::llround(part * 86400000.0) % 86400000;
    }
    const int64_t hours = ms / 3600000;
    const int64_t minutes = ms / 60000 % 60;
    const int64_t seconds = ms / 1000 % 60;
    const int64_t millis = ms % 1000;

    std::string out;
    out.reserve(format.size() + 4);
    for (size_t i = 0; i < format.size();) {
        const char c = format[i];
        if (c == '"' || c == '\'') {
            const size_t end = format.find(c, i + 1);
            const size_t stop = end == std::string_view::npos ? format.size() : end;
            out.append(format.substr(i + 1, stop - i - 1));
            i = stop + 1;
            continue;
        }
        const char letter = char(std::tolower(static_cast<unsigned char>(c)));
        size_t run = 1;
        while (i + run < format.size() &&
               std::tolower(static_cast<unsigned char>(format[i + run])) == letter)
            ++run;
        switch (letter) {
        case 'h':
            Append(out, hours, run >= 2 ? 2 : 1);
            break;
        case 'n':
        case 'm':
            Append(out, minutes, run >= 2 ? 2 : 1);
            break;
        case 's':
            Append(out, seconds, run >= 2 ? 2 : 1);
            break;
        case 'z':
            Append(out, millis, run >= 3 ? 3 : 1);
            break;
        default:
            out.append(format.substr(i, run));
            break;
        }
        i += run;
    }
    return out;
}

} // namespace tunola
