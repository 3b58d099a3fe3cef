#pragma once
// Tunola's audio library: decoding, output, network streams, tags, spectrum data and decoder
// add-ons behind one call table. Handles are non-zero 32-bit values; every call that returns a
// handle returns 0 on failure. Lengths and positions are in bytes of the decoded PCM.
//
// Threads: every call may be made from any thread (the player opens streams on a worker).
// A sync handler runs on the library's own playback thread, never on the caller's.
//
// The player owns one TAudioLibrary and hands it to whatever needs it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tunaudio {

using DWORD = uint32_t;
using QWORD = uint64_t;
using HSTREAM = DWORD;
using HPLUGIN = DWORD;
using HSYNC = DWORD;

constexpr DWORD kVersion = 0x02040000; // high word 0x0204: version 2.4

constexpr DWORD kConfigNetTimeout = 11;  // network connect and stall time-out, ms (5000)
constexpr DWORD kConfigNetPrebuf = 15;   // network pre-buffer before playback starts, bytes
constexpr DWORD kConfigNetPlaylist = 21; // follow .pls/.m3u addresses to their first entry

constexpr int kDeviceDefault = -1; // first output that works (see Init)
constexpr int kDeviceSilent = 0;   // no sound, but consumes samples in real time
constexpr int kDevicePulse = 1;
constexpr int kDeviceAlsa = 2;

constexpr DWORD kStreamDecode = 0x200000; // decode only: length and tags, no output
constexpr DWORD kStreamStatus = 0x800000; // network stream that keeps its status

constexpr DWORD kPosByte = 0;         // positions and lengths in bytes
constexpr DWORD kFilePosDownload = 1; // bytes of a network stream downloaded so far
constexpr DWORD kFilePosEnd = 2;      // total size; -1 when unknown

constexpr DWORD kSyncEnd = 2;              // end of stream
constexpr DWORD kSyncOnetime = 0x80000000; // with a sync type: remove after the first call
constexpr DWORD kDataFft512 = 0x80000001;  // 256 magnitudes of a 512-sample FFT
constexpr DWORD kDataFloat = 0x40000000;   // decode-only streams: float samples, not 16-bit

constexpr QWORD kUnknown = ~QWORD(0); // -1: unknown length or position, or failure

// Called once when a stream ends, on the library's playback thread (for a decode-only stream:
// on the thread that decoded its end). No lock of the library is held; the handler may call
// the library, except Free.
using SyncProc = void (*)(HSYNC sync, DWORD channel, DWORD data, void* user);

// Receives each block of a network download as it arrives, on the download thread; a final
// call with (nullptr, 0) marks the end.
using DownloadProc = void (*)(const void* buffer, DWORD length, void* user);

struct TPluginFormat {
    std::string name; // "FLAC"
    std::string exts; // "*.flac;*.fla"
};

struct TPluginInfo {
    DWORD version = 0;
    std::vector<TPluginFormat> formats;
};

class TAudioLibrary {
public:
    // `addonDir` is where a bare add-on file name given to PluginLoad is looked up.
    explicit TAudioLibrary(std::string addonDir);
    ~TAudioLibrary();
    TAudioLibrary(const TAudioLibrary&) = delete;
    TAudioLibrary& operator=(const TAudioLibrary&) = delete;

    DWORD GetVersion() const;

    // device -1 picks the first output that works: PulseAudio, ALSA's default device, else a
    // silent output that consumes samples in real time; the environment variable
    // TUNOLA_AUDIO_OUTPUT ("pulse", "alsa", "silent") narrows -1 to that output. Devices 0, 1
    // and 2 are the silent output, PulseAudio and ALSA. Device -1 is chosen and opened when the
    // first stream plays (it always finds one: the silent output is last); devices 0-2 are
    // opened here. False when the named device cannot be opened, when `freq` is outside
    // 8000..192000 Hz, or when already initialised.
    bool Init(int device, DWORD freq, DWORD flags, void* window);
    // Stops the output and frees every stream; add-ons stay loaded. Must not be called from a
    // sync handler (returns false there).
    bool Free();
    bool SetConfig(DWORD option, DWORD value);
    DWORD GetConfig(DWORD option) const;
    // Name of the output in use ("pulse", "alsa", "silent"); empty before Init, and with device
    // -1 until the first stream plays.
    std::string OutputName() const;

    HPLUGIN PluginLoad(const std::string& file, DWORD flags);
    const TPluginInfo* PluginGetInfo(HPLUGIN plugin) const;
    bool PluginFree(HPLUGIN plugin);

    float GetVolume() const;
    bool SetVolume(float volume);

    // `path` is UTF-8; with `mem` it holds the file's bytes instead. `length` 0 means to the
    // end. Flags 0 (playing) or kStreamDecode; decode-only streams work without Init.
    // Blocks while the file's headers are read.
    HSTREAM StreamCreateFile(bool mem, const std::string& path, QWORD offset, QWORD length,
                             DWORD flags);
    // http or https only. Blocks until the pre-buffer is filled or the open failed (a dead or
    // silent server fails within a few time-outs of kConfigNetTimeout).
    HSTREAM StreamCreateURL(const std::string& url, DWORD offset, DWORD flags,
                            DownloadProc downloadProc, void* user);
    // Once it returns, none of the stream's end handlers runs any more: one already running on
    // another thread is waited for (a handler may free its own stream).
    bool StreamFree(HSTREAM stream);
    // Ends every network open in progress at once (they fail) and fails new ones until the next
    // Init: a closing player must not wait for a server that never answers.
    void CancelOpens();
    QWORD StreamGetFilePosition(HSTREAM stream, DWORD mode) const;

    QWORD ChannelGetLength(DWORD channel, DWORD mode) const;
    // -1 for an unknown handle; 0 for kUnknown bytes (a live stream's length).
    double ChannelBytes2Seconds(DWORD channel, QWORD bytes) const;
    QWORD ChannelSeconds2Bytes(DWORD channel, double seconds) const;
    QWORD ChannelGetPosition(DWORD channel, DWORD mode) const;
    bool ChannelSetPosition(DWORD channel, QWORD position, DWORD mode);
    bool ChannelPlay(DWORD channel, bool restart);
    bool ChannelPause(DWORD channel);
    bool ChannelStop(DWORD channel);
    HSYNC ChannelSetSync(DWORD channel, DWORD type, QWORD param, SyncProc proc, void* user);
    // kDataFft512: writes 256 floats to `buffer`; returns the bytes written, -1 on failure.
    // Decode-only streams also give their PCM: `length` bytes of 16-bit samples (or floats
    // with kDataFloat) at the stream's channel count; -1 at the end.
    int ChannelGetData(DWORD channel, void* buffer, DWORD length);

    // `format` with "%TITL" and "%ARTI" replaced by the stream's title and artist (UTF-8, empty
    // when absent); other text is kept.
    std::string TagsRead(HSTREAM stream, const char* format) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace tunaudio
