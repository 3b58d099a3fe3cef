#pragma once
// Playlist entries for local audio files: the length from a decode-only stream, the title and
// artist from the tags, the file's own name when there is no title. Files the audio library
// cannot open are still listed, with their name and no length.
//
// Threads: ReadTrackEntry may run on any thread (the audio library may be called from any).
// ReadTrackEntries blocks its caller while a few worker threads read the files, each into its
// own slots of the result; they share nothing else but the audio library and a counter.

#include <ZuPlaylistItem.h>

#include <QStringList>

#include <string>
#include <vector>

namespace tunaudio {
class TAudioLibrary;
}

namespace tunola {

// The file name without its folder and without its extension (the last point and what
// follows it): "/music/a.b.mp3" -> "a.b".
std::string FileTitle(const std::string& path);

// The entry for the local file at `path` (UTF-8). Without an audio library the entry has the
// file's title and length 0.
TZuPlaylistItem ReadTrackEntry(tunaudio::TAudioLibrary* audio, const std::string& path);

// The entries for `files`, in their order. Long lists are read by several threads at once:
// opening a file and reading its tags is mostly waiting and decoder set-up.
std::vector<TZuPlaylistItem> ReadTrackEntries(tunaudio::TAudioLibrary* audio,
                                              const QStringList& files);

// What a drop of `paths` adds: each file that matches one of `patterns` (wildcards, any case),
// and for each folder the matching files directly inside it in name order.
QStringList CollectAudioFiles(const QStringList& paths, const QStringList& patterns);

} // namespace tunola
