#pragma once
// Picks the decoder for a stream by its content, not its name: a text file called .mp3 or an
// MP3 called .wav is recognised for what it is.

#include "AddonModule.h"
#include "ByteSource.h"
#include "Decoder.h"

#include <memory>
#include <vector>

namespace tunaudio {

// Tries WAV/AIFF, Ogg Vorbis, the add-ons in load order, and MPEG audio last (its frame sync
// search is the least strict). Each try starts again from the source's beginning. Null when
// nothing recognises the bytes. `source` must outlive the decoder.
std::unique_ptr<TDecoder> OpenDecoder(TByteSource& source,
                                      const std::vector<std::shared_ptr<TAddonModule>>& addons);

} // namespace tunaudio
