// The lyric display's arithmetic with any lyric, offset, pitch, height and positions, drawing
// nothing: the current line stays in range, the column stands where the current line's
// interval puts it, and every line that can show lies in the band the picture holds.

#include "LyricHandle.h"
#include "ZuLrcLayout.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

template <class T> T Take(const uint8_t*& data, size_t& size) {
    T value{};
    const size_t n = size < sizeof(T) ? size : sizeof(T);
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

void Check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tunola;
    const int32_t offset = Take<int32_t>(data, size);
    const int32_t length = Take<int32_t>(data, size);
    const int textHeight = 1 + Take<uint8_t>(data, size) % 200;
    const int space = Take<uint8_t>(data, size);
    const int height = 1 + Take<uint16_t>(data, size) % 2000;
    int32_t positions[8];
    for (int32_t& p : positions)
        p = Take<int32_t>(data, size);

    TLyricHandle handle;
    handle.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<int64_t> times;
    const std::string list = handle.ToText(llTimeList);
    for (size_t start = 0; start < list.size();) {
        size_t end = list.find("\r\n", start);
        if (end == std::string::npos)
            end = list.size();
        times.push_back(DisplayLineTime(std::string_view(list).substr(start, end - start)));
        start = end + 2;
    }
    const int64_t trailer = TrailerTime(length, times.empty() ? 0 : times.back(), !times.empty());
    Check(trailer <= kLrcMaxTime && DisplayLine(trailer, kLrcTrailerText).find(',') == 10);
    Check(times.empty() || trailer > times.back());
    times.push_back(trailer);
    const int n = int(times.size());
    const int h = LrcPitch(textHeight, space);
    const int64_t y0 = LrcStart(height, h, space);

    for (const int32_t pos : positions) {
        const TLrcFrame f = LrcFrameAt(times, offset, pos, h, height, space);
        Check(f.Current >= -1 && f.Current < n);
        const int i = f.Current + 1;
        if (i <= 1 || i == n) {
            Check(f.Scroll == y0 - h);
        } else {
            // Between one pitch per passed line and one more.
            Check(f.Scroll <= y0 - int64_t(i - 1) * h && f.Scroll >= y0 - int64_t(i) * h);
        }
        Check(f.ImageTop == f.Scroll - (int64_t(height) + h) / 2);
        const TLrcBand band = LrcBand(f.Current, n, h, height);
        Check(band.First >= 0 && band.Last < n && band.First <= band.Last);
        for (int j = 0; j < n; ++j) {
            const int64_t y = f.ImageTop + int64_t(j) * h + height / 2;
            if (y + h > 0 && y < height)
                Check(j >= band.First && j <= band.Last);
        }
    }
    return 0;
}
