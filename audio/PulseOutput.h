#pragma once
// PulseAudio (or PipeWire's Pulse server) through the blocking simple API.

#include "AudioOutput.h"

#include <memory>

namespace tunaudio {

// Null when no server is reachable.
std::unique_ptr<TAudioOutput> OpenPulseOutput(int rate);

} // namespace tunaudio
