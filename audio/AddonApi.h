#pragma once
/* The C interface between the audio library and a decoder add-on ("b_<name>.so" beside the
 * program). An add-on exports one function, `tunola_audio_addon`, that returns a table which
 * stays valid while the add-on is loaded. The library reads bytes for the add-on through a
 * source table, so an add-on opens local files, memory and network downloads alike.
 *
 * Threads: `open` may be called from any thread; one decoder handle is only used by one thread
 * at a time, but different handles may be used at the same time. */

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define TUN_ADDON_API_VERSION 1u

/* Bytes of the stream. `read` returns the bytes read (0 at the end); `seek` moves to an
 * absolute offset and returns 0 on success; `size` is -1 when unknown. */
typedef struct TunAddonSource {
    void* context;
    size_t (*read)(void* context, void* buffer, size_t size);
    int (*seek)(void* context, int64_t offset);
    int64_t (*tell)(void* context);
    int64_t (*size)(void* context);
    int seekable;
} TunAddonSource;

typedef struct TunAddonFormat {
    const char* name; /* "FLAC" */
    const char* exts; /* "*.flac" - what the open-file dialog filter gets */
} TunAddonFormat;

typedef struct TunAddonStreamInfo {
    int rate;
    int channels;
    int64_t frames; /* -1 when unknown */
} TunAddonStreamInfo;

typedef struct TunAddon {
    uint32_t api_version; /* TUN_ADDON_API_VERSION */
    uint32_t version;     /* the add-on's own version, reported by PluginGetInfo */
    int format_count;
    const TunAddonFormat* formats;
    /* Opens a stream when the bytes are in one of the add-on's formats, else returns NULL.
     * The source table stays valid until `close`. */
    void* (*open)(const TunAddonSource* source, TunAddonStreamInfo* info);
    /* Interleaved float frames in [-1, 1]; returns the frames written, 0 at the end. */
    long (*read)(void* stream, float* out, long frames);
    /* Sample-accurate seek; 0 on success. */
    int (*seek)(void* stream, int64_t frame);
    /* Copies the tag "TITLE" or "ARTIST" as UTF-8 into `out` (always zero-terminated) and
     * returns its length; 0 when absent. */
    size_t (*tag)(void* stream, const char* key, char* out, size_t size);
    void (*close)(void* stream);
} TunAddon;

typedef const TunAddon* (*TunAddonEntry)(void);
#define TUN_ADDON_ENTRY_NAME "tunola_audio_addon"

#ifdef __cplusplus
}
#endif
