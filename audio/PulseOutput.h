#pragma once
// PulseAudio (or PipeWire's Pulse server) through the asynchronous API.
//
// Threads: libpulse's own main-loop thread runs the callbacks below, which only wake the mixer
// thread; the mixer thread does everything else. Both take the main loop's lock around every
// use of the context and the stream.

#include "AudioOutput.h"

#include <memory>

namespace tunaudio {

// Null when no server is reachable.
std::unique_ptr<TAudioOutput> OpenPulseOutput(int rate);

} // namespace tunaudio
