#pragma once
// The decoders (libmpg123, libvorbisfile, libsndfile), the tag reader (TagLib) and the sound
// device outputs (libpulse, ALSA) live in one module of ours, tunola-media.so, beside the
// program (or in ../share/tunola from it, where the program is installed). It is loaded on the
// first decode, tag read or device open, so a start that plays nothing maps none of these
// libraries: linked into the program they cost about 2.5 MiB of resident pages (relocations
// and start-up code of TagLib, ALSA, libpulse and libsndfile's codecs) before any of them works.
//
// The program calls the module only through the functions of Mpg123Decoder.h, VorbisDecoder.h,
// SndfileDecoder.h, TagReader.h, PulseOutput.h and AlsaOutput.h, which forward to it; when the
// module cannot be loaded they find nothing (no decoder, no tags, no device output, so the
// silent output plays). The module is never unloaded: objects it made outlive any caller.
// Any thread may make the first call; the load happens once.

#include "AudioOutput.h"
#include "ByteSource.h"
#include "Decoder.h"
#include "TagReader.h"

#include <memory>
#include <string>

namespace tunaudio {

// Bumped whenever this table changes; a module built for another version is not used.
inline constexpr int kMediaModuleVersion = 1;

struct TMediaEntryPoints {
    int version;
    std::unique_ptr<TDecoder> (*openMpg123)(TByteSource&);
    std::unique_ptr<TDecoder> (*openVorbis)(TByteSource&);
    std::unique_ptr<TDecoder> (*openSndfile)(TByteSource&);
    TTags (*readFileTags)(const std::string& path, TContainer container);
    TTags (*readMemoryTags)(const std::string& bytes, TContainer container);
    // Null where the module was built without that output.
    std::unique_ptr<TAudioOutput> (*openPulse)(int rate);
    std::unique_ptr<TAudioOutput> (*openAlsa)(int rate);
};

// The module's table, or null when it cannot be loaded (reported once on stderr).
const TMediaEntryPoints* MediaModule();

} // namespace tunaudio

// The module's one exported symbol.
extern "C" const tunaudio::TMediaEntryPoints* tunola_media_entry_points();
