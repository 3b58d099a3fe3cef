#include "AudioOutput.h"
#include "SilentOutput.h"

#ifdef TUNOLA_HAVE_PULSE
#include "PulseOutput.h"
#endif
#ifdef TUNOLA_HAVE_ALSA
#include "AlsaOutput.h"
#endif

#include <cstdlib>
#include <string_view>

namespace tunaudio {

namespace {

std::unique_ptr<TAudioOutput> OpenByName(std::string_view name, int rate) {
    if (name == "silent")
        // As much queued as the device outputs keep, so positions behave alike.
        return std::make_unique<TSilentOutput>(rate,
                                               static_cast<size_t>(rate) * kOutputBufferMs / 1000);
#ifdef TUNOLA_HAVE_PULSE
    if (name == "pulse")
        return OpenPulseOutput(rate);
#endif
#ifdef TUNOLA_HAVE_ALSA
    if (name == "alsa")
        return OpenAlsaOutput(rate);
#endif
    return nullptr;
}

} // namespace

std::unique_ptr<TAudioOutput> OpenAudioOutput(int device, int rate) {
    switch (device) {
    case 0:
        return OpenByName("silent", rate);
    case 1:
        return OpenByName("pulse", rate);
    case 2:
        return OpenByName("alsa", rate);
    case -1:
        break;
    default:
        return nullptr;
    }
    if (const char* forced = std::getenv("TUNOLA_AUDIO_OUTPUT"); forced && *forced)
        return OpenByName(forced, rate);
    for (const char* name : {"pulse", "alsa", "silent"})
        if (auto output = OpenByName(name, rate))
            return output;
    return nullptr;
}

} // namespace tunaudio
