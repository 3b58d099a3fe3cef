// Feeds arbitrary bytes to the BMP reader and hands what it decodes to a bitmap, marked
// transparent so that the transparent-colour rule runs too.

#include "ZuBitmap32.h"
#include "ZuBmpReader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tunola;
    const TZuImageLimits limits{2048, 2048, int64_t(1) << 20};
    try {
        TZuRasterImage image = ReadBmp({data, size}, limits);
        if (image.Width <= 0 || image.Height <= 0 ||
            image.Pixels.size() != size_t(image.Width) * size_t(image.Height))
            std::abort();
        image.Transparent = true;
        image.TransparentColor = 0x00FF00FF;
        TZuBitmap32 bitmap;
        bitmap.Assign(image);
    } catch (const EZuBitmapError&) {
    }
    return 0;
}
