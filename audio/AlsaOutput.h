#pragma once
// ALSA's "default" device.

#include "AudioOutput.h"

#include <memory>

namespace tunaudio {

// Null when the default device cannot be opened with 16-bit stereo at `rate`.
std::unique_ptr<TAudioOutput> OpenAlsaOutput(int rate);

} // namespace tunaudio
