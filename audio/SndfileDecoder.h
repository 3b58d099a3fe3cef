#pragma once
// WAV (RIFF, WAVE_FORMAT_EXTENSIBLE, RF64) and AIFF/AIFC through libsndfile. Other containers
// libsndfile knows are refused so that each format has exactly one decoder.

#include "ByteSource.h"
#include "Decoder.h"

#include <memory>

namespace tunaudio {

// Returns null when the bytes are not WAV or AIFF. `source` must outlive the decoder.
std::unique_ptr<TDecoder> OpenSndfileDecoder(TByteSource& source);

} // namespace tunaudio
