#include "AudioLibrary.h"

#include "AddonModule.h"
#include "DecoderProbe.h"
#include "FileByteSource.h"
#include "MemoryByteSource.h"
#include "Mixer.h"
#include "NetPlaylist.h"
#include "NetSource.h"
#include "Stream.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <optional>
#include <set>

namespace tunaudio {

namespace {

constexpr size_t kPlaylistLimit = 256u << 10; // a radio playlist is a few hundred bytes
constexpr int kPlaylistHops = 3;              // a playlist naming a playlist naming ...
constexpr size_t kProbeBytes = 4096;          // enough for every decoder to recognise its data

struct TPlugin {
    std::shared_ptr<TAddonModule> module;
    TPluginInfo info;
};

} // namespace

struct TAudioLibrary::Impl {
    std::string addonDir;

    // Guards everything below. Held only briefly: never while decoding, downloading or
    // calling back; a stream's own lock may be taken inside it.
    mutable std::mutex mutex;
    std::unique_ptr<TMixer> mixer;
    DWORD netTimeoutMs = 5000;
    DWORD netPrebuf = 0;
    DWORD netPlaylist = 0;
    std::map<DWORD, std::shared_ptr<TStream>> streams;
    std::map<DWORD, TPlugin> plugins; // handles grow, so this is load order
    DWORD lastHandle = 0;
    DWORD lastSync = 0;
    // Network opens in progress, so that CancelOpens can end them.
    std::set<TNetSource*> opening;
    bool openingCancelled = false;
    // Held by the mixer while it calls end handlers; StreamFree takes it to wait for one that
    // runs. Recursive, because a handler may free its own stream. Outlives every mixer.
    std::recursive_mutex syncMutex;

    DWORD NewHandleLocked() {
        do {
            ++lastHandle;
        } while (lastHandle == 0 || streams.count(lastHandle) || plugins.count(lastHandle));
        return lastHandle;
    }

    std::shared_ptr<TStream> Find(DWORD handle) const {
        std::lock_guard lock(mutex);
        const auto it = streams.find(handle);
        return it == streams.end() ? nullptr : it->second;
    }

    std::vector<std::shared_ptr<TAddonModule>> Addons() const {
        std::lock_guard lock(mutex);
        std::vector<std::shared_ptr<TAddonModule>> out;
        for (const auto& [handle, plugin] : plugins)
            out.push_back(plugin.module);
        return out;
    }

    // The output frame heard now; 0 without an output (decode-only streams ignore it).
    uint64_t Audible() const {
        std::lock_guard lock(mutex);
        return mixer ? mixer->Audible() : 0;
    }

    HSTREAM Register(std::unique_ptr<TByteSource> source, std::unique_ptr<TDecoder> decoder,
                     TNetSource* net, bool decodeOnly, TTagOrigin tags) {
        std::lock_guard lock(mutex);
        if (!decodeOnly && !mixer)
            return 0; // freed while the stream was being opened
        const DWORD handle = NewHandleLocked();
        streams[handle] = std::make_shared<TStream>(handle, std::move(source), std::move(decoder),
                                                    net, decodeOnly, std::move(tags), netPrebuf);
        return handle;
    }

    // What a playing stream changed is heard at once: the output's queue is mixed again.
    void Rewrite(const TStream& s) const {
        if (s.DecodeOnly())
            return;
        std::lock_guard lock(mutex);
        if (mixer)
            mixer->Rewrite();
    }

    static void Fire(const std::vector<TPendingSync>& fired) {
        for (const TPendingSync& sync : fired)
            sync.proc(sync.sync, sync.channel, 0, sync.user);
    }
};

namespace {

// Makes one download known to CancelOpens while an open waits on it.
// `opening` and `cancelled` are guarded by `mutex`.
struct TOpening {
    TOpening(std::mutex& mutex, std::set<TNetSource*>& opening, const bool& cancelled,
             TNetSource* net)
        : mutex(mutex), opening(opening), net(net) {
        std::lock_guard lock(mutex);
        admitted = !cancelled;
        if (admitted)
            opening.insert(net);
    }
    ~TOpening() {
        std::lock_guard lock(mutex);
        opening.erase(net);
    }
    TOpening(const TOpening&) = delete;
    TOpening& operator=(const TOpening&) = delete;

    std::mutex& mutex;
    std::set<TNetSource*>& opening;
    TNetSource* net;
    bool admitted = false;
};

} // namespace

TAudioLibrary::TAudioLibrary(std::string addonDir) : d(std::make_unique<Impl>()) {
    d->addonDir = std::move(addonDir);
}

TAudioLibrary::~TAudioLibrary() {
    Free();
    std::lock_guard lock(d->mutex);
    for (auto& [handle, stream] : d->streams)
        stream->MarkFreed();
    d->streams.clear();
    d->plugins.clear();
}

DWORD TAudioLibrary::GetVersion() const {
    return kVersion;
}

bool TAudioLibrary::Init(int device, DWORD freq, DWORD /*flags*/, void* /*window*/) {
    if (freq < 8000 || freq > 192000)
        return false;
    {
        std::lock_guard lock(d->mutex);
        if (d->mixer)
            return false;
    }
    // The default device always ends at the silent output, so it cannot fail and is opened on
    // the first play (a start that plays nothing loads no sound library); a named device is
    // opened now, so that Init can say whether it works.
    const int rate = static_cast<int>(freq);
    std::unique_ptr<TAudioOutput> output;
    if (device != kDeviceDefault) {
        output = OpenAudioOutput(device, rate);
        if (!output)
            return false;
    }
    std::lock_guard lock(d->mutex);
    if (d->mixer)
        return false; // another thread won
    // The output is closed while nothing plays and opened again on the next play.
    auto open = [device, rate] { return OpenAudioOutput(device, rate); };
    d->mixer = output ? std::make_unique<TMixer>(std::move(output), d->syncMutex, open)
                      : std::make_unique<TMixer>(rate, d->syncMutex, open);
    d->openingCancelled = false;
    return true;
}

bool TAudioLibrary::Free() {
    std::unique_ptr<TMixer> mixer;
    std::map<DWORD, std::shared_ptr<TStream>> streams;
    {
        std::lock_guard lock(d->mutex);
        if (!d->mixer || d->mixer->OnMixerThread())
            return false;
        mixer = std::move(d->mixer);
        streams.swap(d->streams);
    }
    for (auto& [handle, stream] : streams)
        stream->MarkFreed();
    mixer.reset(); // joins the playback thread
    return true;
}

bool TAudioLibrary::SetConfig(DWORD option, DWORD value) {
    std::lock_guard lock(d->mutex);
    switch (option) {
    case kConfigNetTimeout:
        d->netTimeoutMs = std::clamp<DWORD>(value, 100, 600000);
        return true;
    case kConfigNetPrebuf:
        d->netPrebuf = std::min<DWORD>(value, 16u << 20);
        return true;
    case kConfigNetPlaylist:
        d->netPlaylist = value;
        return true;
    default:
        return false;
    }
}

DWORD TAudioLibrary::GetConfig(DWORD option) const {
    std::lock_guard lock(d->mutex);
    switch (option) {
    case kConfigNetTimeout:
        return d->netTimeoutMs;
    case kConfigNetPrebuf:
        return d->netPrebuf;
    case kConfigNetPlaylist:
        return d->netPlaylist;
    default:
        return static_cast<DWORD>(-1);
    }
}

std::string TAudioLibrary::OutputName() const {
    std::lock_guard lock(d->mutex);
    return d->mixer ? d->mixer->OutputName() : std::string();
}

HPLUGIN TAudioLibrary::PluginLoad(const std::string& file, DWORD /*flags*/) {
    if (file.empty())
        return 0;
    const bool bare = file.find('/') == std::string::npos
#ifdef _WIN32
                      && file.find('\\') == std::string::npos
#endif
        ;
    const std::string path = bare ? d->addonDir + "/" + file : file;
    auto module = TAddonModule::Load(path);
    if (!module)
        return 0;
    TPlugin plugin;
    plugin.info.version = module->Table().version;
    for (int i = 0; i < module->Table().format_count; ++i) {
        const TunAddonFormat& f = module->Table().formats[i];
        plugin.info.formats.push_back({f.name ? f.name : "", f.exts ? f.exts : ""});
    }
    plugin.module = std::move(module);
    std::lock_guard lock(d->mutex);
    for (const auto& [handle, loaded] : d->plugins)
        if (&loaded.module->Table() == &plugin.module->Table())
            return 0; // already loaded
    const DWORD handle = d->NewHandleLocked();
    d->plugins.emplace(handle, std::move(plugin));
    return handle;
}

const TPluginInfo* TAudioLibrary::PluginGetInfo(HPLUGIN plugin) const {
    std::lock_guard lock(d->mutex);
    const auto it = d->plugins.find(plugin);
    return it == d->plugins.end() ? nullptr : &it->second.info;
}

bool TAudioLibrary::PluginFree(HPLUGIN plugin) {
    std::lock_guard lock(d->mutex);
    if (plugin == 0) { // 0: every add-on
        d->plugins.clear();
        return true;
    }
    return d->plugins.erase(plugin) > 0;
}

float TAudioLibrary::GetVolume() const {
    std::lock_guard lock(d->mutex);
    return d->mixer ? d->mixer->Volume() : -1.0f;
}

bool TAudioLibrary::SetVolume(float volume) {
    std::lock_guard lock(d->mutex);
    if (!d->mixer || !(volume >= 0.0f && volume <= 1.0f))
        return false;
    d->mixer->SetVolume(volume);
    return true;
}

HSTREAM TAudioLibrary::StreamCreateFile(bool mem, const std::string& path, QWORD offset,
                                        QWORD length, DWORD flags) {
    const bool decodeOnly = (flags & kStreamDecode) != 0;
    {
        std::lock_guard lock(d->mutex);
        if (!decodeOnly && !d->mixer)
            return 0;
    }
    std::unique_ptr<TByteSource> source;
    TTagOrigin tags{{}, nullptr};
    if (mem) {
        if (offset > path.size())
            return 0;
        const QWORD available = path.size() - offset;
        auto memory = std::make_unique<TMemoryByteSource>(
            path.substr(offset, length == 0 ? available : std::min(length, available)));
        tags.memory = &memory->Bytes();
        source = std::move(memory);
    } else {
        source = TFileByteSource::Open(path, offset, length);
        tags.path = path;
    }
    if (!source)
        return 0;
    auto decoder = OpenDecoder(*source, d->Addons());
    if (!decoder)
        return 0;
    return d->Register(std::move(source), std::move(decoder), nullptr, decodeOnly, std::move(tags));
}

HSTREAM TAudioLibrary::StreamCreateURL(const std::string& url, DWORD offset, DWORD flags,
                                       DownloadProc downloadProc, void* user) {
    const bool decodeOnly = (flags & kStreamDecode) != 0;
    TNetOptions options;
    bool followPlaylists;
    {
        std::lock_guard lock(d->mutex);
        if (!decodeOnly && !d->mixer)
            return 0;
        options.timeoutMs = static_cast<int>(d->netTimeoutMs);
        options.prebufferBytes = d->netPrebuf;
        followPlaylists = d->netPlaylist != 0;
    }
    options.offset = offset;
    std::string address = url;
    for (int hop = 0; hop <= kPlaylistHops; ++hop) {
        if (!IsHttpUrl(address))
            return 0;
        // The user's callback sees the stream's bytes, not those of a playlist on the way.
        auto net = std::make_unique<TNetSource>(address, options);
        // Declared after the download, so it stops being known before it goes.
        std::optional<TOpening> watch(std::in_place, d->mutex, d->opening, d->openingCancelled,
                                      net.get());
        if (!watch->admitted || !net->WaitForBytes(std::max(options.prebufferBytes, kProbeBytes)))
            return 0;
        std::string head(512, '\0');
        head.resize(net->Read(head.data(), head.size()));
        if (!net->Seek(0))
            return 0;
        if (LooksLikePlaylist(net->ContentType(), address, head)) {
            if (!followPlaylists || !net->WaitForAll(kPlaylistLimit))
                return 0;
            std::string text(kPlaylistLimit, '\0');
            text.resize(net->Read(text.data(), text.size()));
            const std::string entry = FirstPlaylistEntry(text);
            if (entry.empty())
                return 0;
            address = ResolveUrl(net->EffectiveUrl(), entry);
            options.offset = 0;
            continue;
        }
        if (downloadProc) {
            // Restart with the callback attached, so that it sees every byte from the first.
            watch.reset();
            net.reset();
            options.onData = [downloadProc, user](const void* data, size_t size) {
                downloadProc(data, static_cast<DWORD>(size), user);
            };
            net = std::make_unique<TNetSource>(address, options);
            watch.emplace(d->mutex, d->opening, d->openingCancelled, net.get());
            if (!watch->admitted ||
                !net->WaitForBytes(std::max(options.prebufferBytes, kProbeBytes)))
                return 0;
        }
        auto decoder = OpenDecoder(*net, d->Addons());
        if (!decoder)
            return 0;
        watch.reset();
        net->ReleaseProbe();
        TNetSource* view = net.get();
        return d->Register(std::move(net), std::move(decoder), view, decodeOnly, {{}, nullptr});
    }
    return 0;
}

bool TAudioLibrary::StreamFree(HSTREAM stream) {
    std::shared_ptr<TStream> s;
    {
        std::lock_guard lock(d->mutex);
        const auto it = d->streams.find(stream);
        if (it == d->streams.end())
            return false;
        s = std::move(it->second);
        d->streams.erase(it);
        const bool playing = s->State() == TStream::TState::Playing;
        s->MarkFreed();
        if (d->mixer) {
            d->mixer->Remove(s.get());
            if (playing)
                d->mixer->Rewrite(); // silent at once, not after the output's buffer
        }
    }
    // The mixer checks the mark before each handler it calls; wait for one it is calling now.
    { std::lock_guard wait(d->syncMutex); }
    return true; // the last reference (ours, or the mixer's) closes the decoder
}

void TAudioLibrary::CancelOpens() {
    std::lock_guard lock(d->mutex);
    d->openingCancelled = true;
    for (TNetSource* net : d->opening)
        net->Abort();
}

QWORD TAudioLibrary::StreamGetFilePosition(HSTREAM stream, DWORD mode) const {
    const auto s = d->Find(stream);
    return s ? s->FilePosition(mode) : kUnknown;
}

QWORD TAudioLibrary::ChannelGetLength(DWORD channel, DWORD mode) const {
    const auto s = d->Find(channel);
    if (!s || mode != kPosByte)
        return kUnknown;
    const int64_t frames = s->LengthFrames();
    return frames < 0 ? kUnknown : static_cast<QWORD>(frames) * s->FrameBytes();
}

double TAudioLibrary::ChannelBytes2Seconds(DWORD channel, QWORD bytes) const {
    const auto s = d->Find(channel);
    if (!s)
        return -1.0;
    if (bytes == kUnknown)
        return 0.0;
    return static_cast<double>(bytes) / static_cast<double>(s->FrameBytes() * s->Rate());
}

QWORD TAudioLibrary::ChannelSeconds2Bytes(DWORD channel, double seconds) const {
    const auto s = d->Find(channel);
    if (!s)
        return kUnknown;
    if (!(seconds > 0.0))
        return 0; // negative and NaN
    // The small bias keeps a value that came from Bytes2Seconds on its own frame.
    const double frames = std::floor(seconds * s->Rate() + 1e-6);
    if (frames >= 9.0e15)
        return kUnknown;
    return static_cast<QWORD>(frames) * s->FrameBytes();
}

QWORD TAudioLibrary::ChannelGetPosition(DWORD channel, DWORD mode) const {
    const auto s = d->Find(channel);
    if (!s || mode != kPosByte)
        return kUnknown;
    return s->PositionFrames(d->Audible()) * s->FrameBytes();
}

bool TAudioLibrary::ChannelSetPosition(DWORD channel, QWORD position, DWORD mode) {
    const auto s = d->Find(channel);
    if (!s || mode != kPosByte)
        return false;
    if (!s->Seek(position / s->FrameBytes()))
        return false;
    d->Rewrite(*s);
    return true;
}

bool TAudioLibrary::ChannelPlay(DWORD channel, bool restart) {
    const auto s = d->Find(channel);
    if (!s)
        return false;
    std::lock_guard lock(d->mutex);
    const bool wasPlaying = s->State() == TStream::TState::Playing;
    if (!d->mixer || !s->Play(restart))
        return false;
    d->mixer->Add(s);
    if (restart && wasPlaying)
        d->mixer->Rewrite(); // the start is heard at once
    return true;
}

bool TAudioLibrary::ChannelPause(DWORD channel) {
    const auto s = d->Find(channel);
    if (!s || !s->Pause(d->Audible()))
        return false;
    d->Rewrite(*s);
    return true;
}

bool TAudioLibrary::ChannelStop(DWORD channel) {
    const auto s = d->Find(channel);
    if (!s)
        return false;
    const bool playing = s->State() == TStream::TState::Playing;
    s->Stop(d->Audible());
    if (playing)
        d->Rewrite(*s);
    return true;
}

HSYNC TAudioLibrary::ChannelSetSync(DWORD channel, DWORD type, QWORD /*param*/, SyncProc proc,
                                    void* user) {
    if (!proc || (type & 0x00FFFFFFu) != kSyncEnd)
        return 0;
    const auto s = d->Find(channel);
    if (!s)
        return 0;
    HSYNC id;
    {
        std::lock_guard lock(d->mutex);
        if (++d->lastSync == 0)
            ++d->lastSync;
        id = d->lastSync;
    }
    return s->AddEndSync(id, proc, user, (type & kSyncOnetime) != 0);
}

int TAudioLibrary::ChannelGetData(DWORD channel, void* buffer, DWORD length) {
    const auto s = d->Find(channel);
    if (!s || !buffer)
        return -1;
    std::vector<TPendingSync> fired;
    int result = -1;
    if (length == kDataFft512) {
        if (s->Spectrum(d->Audible(), static_cast<float*>(buffer), fired))
            result = 256 * static_cast<int>(sizeof(float));
    } else if ((length & 0x80000000u) == 0) {
        const long n = s->ReadPcm(buffer, length & 0x0FFFFFFFu, (length & kDataFloat) != 0, fired);
        result = static_cast<int>(n);
    }
    Impl::Fire(fired);
    return result;
}

std::string TAudioLibrary::TagsRead(HSTREAM stream, const char* format) const {
    const auto s = d->Find(stream);
    if (!s || !format)
        return {};
    const TTags tags = s->Tags();
    std::string out;
    for (std::string_view f(format); !f.empty();) {
        if (f.substr(0, 5) == "%TITL") {
            out += tags.title;
            f.remove_prefix(5);
        } else if (f.substr(0, 5) == "%ARTI") {
            out += tags.artist;
            f.remove_prefix(5);
        } else {
            out += f.front();
            f.remove_prefix(1);
        }
    }
    return out;
}

} // namespace tunaudio
