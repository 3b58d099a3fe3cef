#pragma once
// Ogg Vorbis through libvorbisfile.

#include "ByteSource.h"
#include "Decoder.h"

#include <memory>

namespace tunaudio {

// Returns null when the bytes are not Ogg Vorbis. `source` must outlive the decoder.
std::unique_ptr<TDecoder> OpenVorbisDecoder(TByteSource& source);

} // namespace tunaudio
