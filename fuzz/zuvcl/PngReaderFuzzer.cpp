// Feeds arbitrary bytes to the PNG reader and hands what it decodes to a bitmap.

#include "ZuBitmap32.h"
#include "ZuPngReader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tunola;
    // Smaller limits than the program's keep each input fast; the checks are the same.
    const TZuImageLimits limits{2048, 2048, int64_t(1) << 20};
    try {
        const TZuRasterImage image = ReadPng({data, size}, limits);
        if (image.Width <= 0 || image.Height <= 0 ||
            image.Pixels.size() != size_t(image.Width) * size_t(image.Height))
            std::abort();
        TZuBitmap32 bitmap;
        bitmap.Assign(image);
    } catch (const EZuBitmapError&) {
    }
    return 0;
}
