#pragma once
// The spectrum the analyser draws: a 512-point FFT of a Hann-windowed block of mono samples,
// reduced to 256 magnitudes (bins 0..255, bin k at k × rate / 512 Hz).
// Scale: a full-scale sine centred on a bin reads 1.0 there; silence reads 0.
// Pure and allocation-free after construction; one instance per thread.

#include <array>
#include <complex>

namespace tunaudio {

class TFft512 {
public:
    static constexpr int kSize = 512;
    static constexpr int kBins = kSize / 2;

    TFft512();
    void Magnitudes(const float* samples, float* out);

private:
    std::array<float, kSize> window_{};
    std::array<std::complex<float>, kSize / 2> twiddles_{};
    std::array<unsigned short, kSize> bitReversed_{};
    std::array<std::complex<float>, kSize> work_{};
};

} // namespace tunaudio
