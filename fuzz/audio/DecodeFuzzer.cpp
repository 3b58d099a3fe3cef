// libFuzzer target for one decoder's open-and-decode path, chosen at build time by
// TUNOLA_FUZZ_FORMAT: 1 WAV/AIFF (libsndfile), 2 Ogg Vorbis, 3 MPEG audio, 4 the FLAC add-on,
// 0 the whole library (content probe, tags, PCM and spectrum reads, seeks).

#include "AddonModule.h"
#include "AudioLibrary.h"
#include "MemoryByteSource.h"
#include "Mpg123Decoder.h"
#include "SndfileDecoder.h"
#include "VorbisDecoder.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace tunaudio;

// Decodes at most this many frames per input, so a long valid stream cannot time the run out.
constexpr int64_t kFrameBudget = 1 << 18;

#if TUNOLA_FUZZ_FORMAT != 0
std::unique_ptr<TDecoder> Open(TByteSource& source) {
#if TUNOLA_FUZZ_FORMAT == 1
    return OpenSndfileDecoder(source);
#elif TUNOLA_FUZZ_FORMAT == 2
    return OpenVorbisDecoder(source);
#elif TUNOLA_FUZZ_FORMAT == 3
    return OpenMpg123Decoder(source);
#elif TUNOLA_FUZZ_FORMAT == 4
    static const auto addon = TAddonModule::Load(TUNOLA_PROGRAM_DIR "/b_flac.so");
    return addon ? addon->Open(source) : nullptr;
#endif
}

void DecodeSome(TDecoder& decoder) {
    std::vector<float> block(4096 * static_cast<size_t>(decoder.Channels()));
    int64_t total = 0;
    for (long n; total < kFrameBudget && (n = decoder.Read(block.data(), 4096)) > 0;)
        total += n;
    if (decoder.CanSeek() && total > 0 && decoder.Seek(total / 2))
        decoder.Read(block.data(), 1024);
    (void)decoder.LengthFrames();
}
#else

void WholeLibrary(const std::string& bytes) {
    static TAudioLibrary lib(TUNOLA_PROGRAM_DIR);
    static const bool loaded = lib.PluginLoad("b_flac.so", 0) != 0;
    (void)loaded;
    const HSTREAM h = lib.StreamCreateFile(true, bytes, 0, 0, kStreamDecode);
    if (!h)
        return;
    lib.TagsRead(h, "%ARTI - %TITL");
    const QWORD length = lib.ChannelGetLength(h, kPosByte);
    float fft[256];
    lib.ChannelGetData(h, fft, kDataFft512);
    std::vector<int16_t> pcm(8192);
    for (int i = 0; i < 64 && lib.ChannelGetData(h, pcm.data(), 16384) > 0; ++i) {
    }
    if (length != kUnknown)
        lib.ChannelSetPosition(h, length / 2, kPosByte);
    lib.ChannelGetData(h, pcm.data(), 4096);
    lib.StreamFree(h);
}
#endif

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
#if TUNOLA_FUZZ_FORMAT == 0
    WholeLibrary(bytes);
#else
    TMemoryByteSource source(std::move(bytes));
    if (auto decoder = Open(source))
        DecodeSome(*decoder);
#endif
    return 0;
}
