/*
 * tunola_plugin.h - the interface between the Tunola music player and its general plug-ins.
 *
 * A general plug-in is a shared library in the "plugins" folder beside the player's skins
 * (<prefix>/share/tunola/plugins/ when installed). The player loads every "*.so" there, in name
 * order, at most 64 of them, once at start-up, and unloads them when it quits. A library is
 * taken as a plug-in when it exports
 *
 *     const TUSPluginInfo* USPluginInfo(uint32_t hostVersion);
 *
 * with C linkage and that function answers with a record whose Kind is TUNOLA_PLUGIN_KIND and
 * whose Version is TUNOLA_PLUGIN_INTERFACE. Anything else (no such export, another kind or
 * version, the same library a second time) is unloaded again without a word and gets no event.
 * The record belongs to the plug-in and must stay valid until the library is unloaded.
 *
 * Events reach PluginProc (when it is not null):
 *
 *   TUNOLA_EVENT_INIT (100)   once, right after the plug-in was accepted; pointer NULL.
 *                             Called on the player's UI thread.
 *   TUNOLA_EVENT_TRACK (108)  each time a track has started playing; pointer to a
 *                             TTrackInfo that is valid only during the call. Called on a
 *                             thread of its own that the player keeps for plug-ins, in the
 *                             order the tracks started, after the player has shown the track:
 *                             a plug-in that takes its time here holds up only later track
 *                             events, never the sound or the player's windows.
 *   TUNOLA_EVENT_QUIT (101)   once, just before the library is unloaded; pointer NULL.
 *                             Called on the UI thread, after the last track event.
 *
 * The integer parameter is 0 for every event. The return value is the plug-in's answer; the
 * player reads none of them today.
 *
 * Text is UTF-8 and zero-terminated; the lengths are in bytes, without the terminator.
 *
 * What the player can and cannot protect itself from: a C++ exception that leaves
 * USPluginInfo or PluginProc is caught, the event counts as delivered, and the other plug-ins
 * get theirs as usual. A plug-in that crashes (a bad pointer, an abort) takes the whole player
 * down with it: it runs in the player's process, and nothing there can contain that. A
 * plug-in that never returns from a track event is given a couple of seconds at quit; after
 * that the player exits without unloading the plug-ins.
 *
 * Layout: natural alignment on 64-bit Linux (LP64); the offsets are checked below.
 */
#ifndef TUNOLA_PLUGIN_H
#define TUNOLA_PLUGIN_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define TUNOLA_PLUGIN_KIND 1
#define TUNOLA_PLUGIN_INTERFACE 256

#define TUNOLA_EVENT_INIT 100
#define TUNOLA_EVENT_QUIT 101
#define TUNOLA_EVENT_TRACK 108

typedef int32_t (*TUSPluginProc)(int32_t event, void* pointer, int32_t value);

typedef struct TUSPluginInfo {
    uint16_t Kind;            /*   0: TUNOLA_PLUGIN_KIND */
    uint16_t Version;         /*   2: TUNOLA_PLUGIN_INTERFACE */
    unsigned char Data[520];  /*   4: the plug-in's own; the player never reads it */
    TUSPluginProc PluginProc; /* 528: the event callback, or NULL */
} TUSPluginInfo;              /* 536 bytes */

typedef struct TTrackInfo {
    const char* FileName; /*  0: file name or network address */
    void* Reserved;       /*  8: not set */
    double Length;        /* 16: the track's length in days (seconds / 86400) */
    const char* Title;    /* 24 */
    int32_t TitleLength;  /* 32: bytes */
    const char* Artist;   /* 40 */
    int32_t ArtistLength; /* 48: bytes */
} TTrackInfo;             /* 56 bytes */

typedef const TUSPluginInfo* (*TUSPluginInfoFunc)(uint32_t hostVersion);

/* What a plug-in exports. */
const TUSPluginInfo* USPluginInfo(uint32_t hostVersion);

#if defined(__LP64__) && defined(__cplusplus)
static_assert(offsetof(TUSPluginInfo, PluginProc) == 528 && sizeof(TUSPluginInfo) == 536,
              "TUSPluginInfo layout");
static_assert(offsetof(TTrackInfo, Length) == 16 && offsetof(TTrackInfo, Title) == 24 &&
                  offsetof(TTrackInfo, TitleLength) == 32 && offsetof(TTrackInfo, Artist) == 40 &&
                  offsetof(TTrackInfo, ArtistLength) == 48 && sizeof(TTrackInfo) == 56,
              "TTrackInfo layout");
#elif defined(__LP64__) && defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
_Static_assert(offsetof(TUSPluginInfo, PluginProc) == 528 && sizeof(TUSPluginInfo) == 536,
               "TUSPluginInfo layout");
_Static_assert(offsetof(TTrackInfo, Title) == 24 && offsetof(TTrackInfo, ArtistLength) == 48 &&
                   sizeof(TTrackInfo) == 56,
               "TTrackInfo layout");
#endif

#ifdef __cplusplus
}
#endif

#endif /* TUNOLA_PLUGIN_H */
