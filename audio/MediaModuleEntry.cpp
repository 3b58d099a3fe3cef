// The exported table of tunola-media.so (see MediaModule.h); built into the module only.

#include "MediaModule.h"

#include "Mpg123Decoder.h"
#include "SndfileDecoder.h"
#include "VorbisDecoder.h"
#ifdef TUNOLA_HAVE_PULSE
#include "PulseOutput.h"
#endif
#ifdef TUNOLA_HAVE_ALSA
#include "AlsaOutput.h"
#endif

extern "C" __attribute__((visibility("default"))) const tunaudio::TMediaEntryPoints*
tunola_media_entry_points() {
    using namespace tunaudio;
    static const TMediaEntryPoints table{
        kMediaModuleVersion, OpenMpg123Decoder, OpenVorbisDecoder, OpenSndfileDecoder,
        ReadFileTags,        ReadMemoryTags,
#ifdef TUNOLA_HAVE_PULSE
        OpenPulseOutput,
#else
        nullptr,
#endif
#ifdef TUNOLA_HAVE_ALSA
        OpenAlsaOutput,
#else
        nullptr,
#endif
    };
    return &table;
}
