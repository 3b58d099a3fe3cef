#include "DecoderProbe.h"

#include "Mpg123Decoder.h"
#include "SndfileDecoder.h"
#include "VorbisDecoder.h"

namespace tunaudio {

std::unique_ptr<TDecoder> OpenDecoder(TByteSource& source,
                                      const std::vector<std::shared_ptr<TAddonModule>>& addons) {
    if (source.Size() == 0)
        return nullptr;
    const auto attempt = [&source](auto&& open) -> std::unique_ptr<TDecoder> {
        if (!source.Seek(0))
            return nullptr;
        return open(source);
    };
    if (auto d = attempt(OpenSndfileDecoder))
        return d;
    if (auto d = attempt(OpenVorbisDecoder))
        return d;
    for (const auto& addon : addons)
        if (auto d = attempt([&addon](TByteSource& s) { return addon->Open(s); }))
            return d;
    return attempt(OpenMpg123Decoder);
}

} // namespace tunaudio
