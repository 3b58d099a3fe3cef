#pragma once
// MPEG audio layers 1, 2 and 3 through libmpg123.

#include "ByteSource.h"
#include "Decoder.h"

#include <memory>

namespace tunaudio {

// Returns null when the bytes are not MPEG audio. `source` must outlive the decoder.
std::unique_ptr<TDecoder> OpenMpg123Decoder(TByteSource& source);

} // namespace tunaudio
