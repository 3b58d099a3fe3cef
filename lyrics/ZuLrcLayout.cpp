#include "ZuLrcLayout.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace tunola {

std::string DisplayLine(int64_t time, std::string_view text) {
    char field[32];
    std::snprintf(field, sizeof field, "%10lld,", static_cast<long long>(time));
    std::string line = field;
    line += text;
    return line;
}

int64_t DisplayLineTime(std::string_view line) {
    std::string_view field = line.substr(0, 10);
    while (!field.empty() && field.front() == ' ')
        field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ')
        field.remove_suffix(1);
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    return ec == std::errc() && end == field.data() + field.size() ? value : 0;
}

std::string_view DisplayLineText(std::string_view line) {
    if (line.size() <= 11)
        return " ";
    return line.substr(11);
}

int64_t TrailerTime(int64_t lengthMs, int64_t lastLineTime, bool hasLines) {
    int64_t t = std::max<int64_t>(lengthMs, 0);
    if (hasLines && lastLineTime >= t)
        t = lastLineTime < kLrcMaxTime ? lastLineTime + 1 : kLrcMaxTime;
    return std::min(t, kLrcMaxTime);
}

TLrcFrame LrcFrameAt(std::span<const int64_t> times, int64_t offset, int64_t pos, int pitch,
                     int height, int lrcSpace) {
    const int64_t h = pitch;
    const int64_t y0 = LrcStart(height, pitch, lrcSpace);
    const int64_t n = int64_t(times.size());
    int64_t i = 0;
    while (i < n && times[size_t(i)] - offset < pos)
        ++i;
    TLrcFrame frame;
    frame.Current = int(i - 1);
    if (i <= 1 || i == n) {
        frame.Scroll = y0 - h;
    } else {
        const int64_t prev = times[size_t(i - 1)] - offset;
        const int64_t next = times[size_t(i)] - offset;
        // prev < pos <= next, so the span is never 0 for ascending times.
        const int64_t span = std::max<int64_t>(next - prev, 1);
        frame.Scroll = y0 - ((pos - prev) * h) / span - (i - 1) * h;
    }
    frame.ImageTop = frame.Scroll - (int64_t(height) + h) / 2;
    return frame;
}

TLrcBand LrcBand(int current, int count, int pitch, int height) {
    TLrcBand band;
    if (count <= 0)
        return band;
    // While `current` stays current, the column moves by at most one pitch, and the view
    // shows height / pitch lines above and below the middle.
    const int reach = (pitch > 0 ? height / pitch : height) + 3;
    // Before the second line and after the last the column stands at its start.
    const int i = current + 1;
    const int64_t c = (i <= 1 || i == count) ? 0 : current;
    band.First = int(std::max<int64_t>(c - reach, 0));
    band.Last = int(std::min<int64_t>(c + reach, count - 1));
    return band;
}

} // namespace tunola
