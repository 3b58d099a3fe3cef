// One spectrum frame as the player draws it every 33 ms: bar and peak arithmetic, drawing into
// the back buffer and the one block copy to a screen-sized image, at both shipped skins' box
// sizes and styles. The magnitudes change every frame the way music does, so bars rise and
// fall.

#include "Spectrum.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>

namespace tunola {
namespace {

struct Box {
    int w, h, style, maxHeight, barWidth, lastBar;
};
constexpr Box kDefault{206, 62, 1, 60, 3, 50};
constexpr Box kPorcelain{131, 96, 0, 92, 1, 128};

void Frame(benchmark::State& st, const Box& box, bool toScreen) {
    TSpectrum s(box.w, box.h);
    s.BarStyle = box.style;
    s.MaxHeight = box.maxHeight;
    s.BarWidth = box.barWidth;
    s.LastBar = box.lastBar;
    std::array<std::array<float, 256>, 16> frames;
    for (size_t f = 0; f < frames.size(); ++f)
        for (size_t i = 0; i < 256; ++i)
            frames[f][i] = float(0.2 * std::fabs(std::sin(0.37 * double(i) + 0.9 * double(f))) /
                                 (1.0 + 0.02 * double(i)));
    QImage screen(box.w, box.h, QImage::Format_RGB32);
    QPainter painter(&screen);
    size_t n = 0;
    for (auto _ : st) {
        s.Paint(toScreen ? &painter : nullptr, frames[n++ % frames.size()], 1, 0, false);
        benchmark::ClobberMemory();
    }
}

void BM_SpectrumPaint_Default(benchmark::State& st) {
    Frame(st, kDefault, true);
}
void BM_SpectrumPaint_Porcelain(benchmark::State& st) {
    Frame(st, kPorcelain, true);
}
void BM_SpectrumBackBufferOnly_Default(benchmark::State& st) {
    Frame(st, kDefault, false);
}
void BM_SpectrumBackBufferOnly_Porcelain(benchmark::State& st) {
    Frame(st, kPorcelain, false);
}
BENCHMARK(BM_SpectrumPaint_Default);
BENCHMARK(BM_SpectrumPaint_Porcelain);
BENCHMARK(BM_SpectrumBackBufferOnly_Default);
BENCHMARK(BM_SpectrumBackBufferOnly_Porcelain);

} // namespace
} // namespace tunola

BENCHMARK_MAIN();
