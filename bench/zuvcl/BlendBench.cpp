// Blend, stretch and PNG-load throughput of the bitmap code, next to memcpy of the same bytes.
// Items are pixels, so "items_per_second" reads as pixels per second.

#include "ImageFixtures.h"
#include "ZuBitmap32.h"
#include "ZuPngReader.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace tunola {
namespace {

struct Size {
    const char* Name;
    int32_t Width, Height;
};
const Size kSizes[] = {{"skin464x238", 464, 238}, {"hd1920x1080", 1920, 1080}};

enum class Alpha { Opaque, Mixed, SkinLike, Master };

// Opaque: every pixel alpha 255. Mixed: every alpha from 0 to 255 at random, so that no block
// of pixels takes a short cut. SkinLike: what skin images look like, transparent margins,
// opaque areas, 4-pixel soft edges and a translucent panel. Master: the mixed picture under
// master alpha 128.
std::vector<TColor32> Picture(const Size& size, Alpha alpha) {
    std::mt19937 random(1);
    std::vector<TColor32> pixels(size_t(size.Width) * size_t(size.Height));
    for (int32_t y = 0; y < size.Height; ++y)
        for (int32_t x = 0; x < size.Width; ++x) {
            const uint32_t rgb = random() & 0xFFFFFF;
            uint32_t a = alpha == Alpha::Opaque ? 255 : random() & 0xFF;
            if (alpha == Alpha::SkinLike) {
                const int32_t edge = std::min({x, y, size.Width - 1 - x, size.Height - 1 - y}) - 12;
                a = edge < 0 ? 0 : edge < 4 ? uint32_t(64 * edge + 32) : 255;
                if (x > size.Width / 3 && x < size.Width / 2 && y > size.Height / 4 &&
                    y < size.Height / 2)
                    a = 96;
            }
            pixels[size_t(y) * size_t(size.Width) + size_t(x)] = a << 24 | rgb;
        }
    return pixels;
}

void Memcpy(benchmark::State& state, Size size) {
    const size_t bytes = size_t(size.Width) * size_t(size.Height) * 4;
    std::vector<uint8_t> from(bytes, 1), to(bytes, 2);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * size.Width * size.Height);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

void Blend(benchmark::State& state, Size size, Alpha alpha, TZuBlendPath path) {
    const TZuBlendRoutines* routines = BlendRoutinesFor(path);
    if (!routines) {
        state.SkipWithError("path not available on this processor");
        return;
    }
    std::vector<TColor32> src = Picture(size, alpha);
    std::vector<TColor32> dst(src.size(), 0xFF336699u);
    const TZuPixelMap from{src.data(), size.Width, size.Height};
    const TZuPixelMap to{dst.data(), size.Width, size.Height};
    const uint8_t master = alpha == Alpha::Master ? 128 : 255;
    for (auto _ : state) {
        BlockTransfer(to, 0, 0, from, {0, 0, size.Width, size.Height}, master, *routines);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * size.Width * size.Height);
    state.SetBytesProcessed(int64_t(state.iterations()) * size.Width * size.Height * 4);
}

// A 232 x 119 picture stretched onto the whole bitmap (magnified 2x, or 8.3 x 9.1) and the
// whole bitmap reduced to a quarter of its area.
void Stretch(benchmark::State& state, Size size, bool magnify, uint8_t master) {
    const Size small{"", 232, 119};
    const Size& srcSize = magnify ? small : size;
    std::vector<TColor32> src = Picture(srcSize, Alpha::Mixed);
    std::vector<TColor32> dst(size_t(size.Width) * size_t(size.Height), 0xFF336699u);
    const TZuPixelMap from{src.data(), srcSize.Width, srcSize.Height};
    const TZuPixelMap to{dst.data(), size.Width, size.Height};
    const TZuRect target = magnify ? TZuRect{0, 0, size.Width, size.Height}
                                   : TZuRect{0, 0, size.Width / 2, size.Height / 2};
    for (auto _ : state) {
        StretchTransfer(to, target, from, {0, 0, srcSize.Width, srcSize.Height}, master);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * target.Width() * target.Height());
}

// A skin-sized picture with shading, grain and soft alpha edges, encoded once; each iteration
// reads it into a bitmap as LoadFromFile does after reading the file.
void PngLoad(benchmark::State& state) {
    const int32_t w = 464, h = 238;
    std::mt19937 random(3);
    std::vector<TColor32> pixels(size_t(w) * size_t(h));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t edge = uint32_t(std::min({x, y, w - 1 - x, h - 1 - y}));
            const uint32_t alpha = std::min<uint32_t>(255, edge * 64);
            const uint32_t grain = random() & 0x0F0F0F;
            pixels[size_t(y) * size_t(w) + size_t(x)] =
                (alpha << 24 | uint32_t(x * 239 / w) << 16 | uint32_t(y * 239 / h) << 8 | 0x80) +
                grain;
        }
    const fixtures::Bytes file = fixtures::EncodePng(w, h, pixels, true);
    TZuBitmap32 bitmap;
    for (auto _ : state) {
        bitmap.Assign(ReadPng(file));
        benchmark::DoNotOptimize(bitmap.Bits());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * w * h);
    state.counters["file_bytes"] = double(file.size());
}

const char* PathName(TZuBlendPath path) {
    switch (path) {
    case TZuBlendPath::Portable:
        return "portable";
    case TZuBlendPath::SSE2:
        return "sse2";
    case TZuBlendPath::AVX2:
        return "avx2";
    }
    return "?";
}

const char* AlphaName(Alpha alpha) {
    switch (alpha) {
    case Alpha::Opaque:
        return "opaque";
    case Alpha::Mixed:
        return "mixed";
    case Alpha::SkinLike:
        return "skinlike";
    case Alpha::Master:
        return "master128";
    }
    return "?";
}

int Register() {
    for (const Size& size : kSizes) {
        benchmark::RegisterBenchmark((std::string("memcpy/") + size.Name).c_str(), Memcpy, size);
        for (Alpha alpha : {Alpha::Opaque, Alpha::Mixed, Alpha::SkinLike, Alpha::Master})
            for (TZuBlendPath path :
                 {TZuBlendPath::Portable, TZuBlendPath::SSE2, TZuBlendPath::AVX2})
                benchmark::RegisterBenchmark((std::string("blend/") + size.Name + "/" +
                                              AlphaName(alpha) + "/" + PathName(path))
                                                 .c_str(),
                                             Blend, size, alpha, path);
        for (bool magnify : {true, false})
            for (uint8_t master : {uint8_t(255), uint8_t(128)})
                benchmark::RegisterBenchmark((std::string("stretch/") + size.Name +
                                              (magnify ? "/magnify" : "/reduce") +
                                              (master == 255 ? "/copy" : "/master128"))
                                                 .c_str(),
                                             Stretch, size, magnify, master);
    }
    benchmark::RegisterBenchmark("png_load/skin464x238", PngLoad);
    return 0;
}

const int kRegistered = Register();

} // namespace
} // namespace tunola

BENCHMARK_MAIN();
