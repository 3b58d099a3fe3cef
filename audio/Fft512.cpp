#include "Fft512.h"

#include <cmath>
#include <numbers>

namespace tunaudio {

TFft512::TFft512() {
    const double pi = std::numbers::pi;
    for (int i = 0; i < kSize; ++i)
        window_[i] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * pi * i / kSize));
    for (int k = 0; k < kSize / 2; ++k)
        twiddles_[k] = std::polar(1.0f, static_cast<float>(-2.0 * pi * k / kSize));
    int bits = 0;
    while ((1 << bits) < kSize)
        ++bits;
    for (int i = 0; i < kSize; ++i) {
        int r = 0;
        for (int b = 0; b < bits; ++b)
            r |= ((i >> b) & 1) << (bits - 1 - b);
        bitReversed_[i] = static_cast<unsigned short>(r);
    }
}

void TFft512::Magnitudes(const float* samples, float* out) {
    for (int i = 0; i < kSize; ++i)
        work_[bitReversed_[i]] = {samples[i] * window_[i], 0.0f};
    // Iterative radix-2 decimation in time.
    for (int len = 2; len <= kSize; len <<= 1) {
        const int half = len / 2;
        const int step = kSize / len;
        for (int start = 0; start < kSize; start += len) {
            for (int j = 0; j < half; ++j) {
                const std::complex<float> t = twiddles_[j * step] * work_[start + j + half];
                work_[start + j + half] = work_[start + j] - t;
                work_[start + j] += t;
            }
        }
    }
    // The Hann window halves a sine's amplitude and a real sine splits its energy over two
    // bins, so |X[k]| = A × N / 4 for a sine of amplitude A centred on bin k.
    constexpr float scale = 4.0f / kSize;
    for (int k = 0; k < kBins; ++k)
        out[k] = std::abs(work_[k]) * scale;
}

} // namespace tunaudio
