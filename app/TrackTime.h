#pragma once
// Track times are fractions of a day (seconds / 86400) and show as "nn:ss": minutes within the
// hour and seconds, each two digits, so 75 minutes show as 15:00.

#include <cmath>
#include <cstdint>
#include <string>

namespace tunola {

inline std::string FormatNnSs(double days) {
    // Like a date-time value: the time of day, rounded to the millisecond.
    const double day = std::fabs(days - std::trunc(days));
    const int64_t ms = std::llround(day * 86400000.0);
    const int64_t seconds = ms / 1000;
    const int minutes = static_cast<int>((seconds / 60) % 60);
    const int secs = static_cast<int>(seconds % 60);
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", minutes, secs);
    return text;
}

} // namespace tunola
