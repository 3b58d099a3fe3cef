#pragma once
// Playlist entries for local audio files: the length from a decode-only stream, the title and
// artist from the tags, the file's own name when there is no title. Files the audio library
// cannot open are still listed, with their name and no length.
//
// Threads: any (the audio library may be called from any thread). TTrackFiller reads many
// files on its own threads through ReadTrackEntry.

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

// What a drop of `paths` adds: each file that matches one of `patterns` (wildcards, any case),
// and for each folder the matching files directly inside it in name order.
QStringList CollectAudioFiles(const QStringList& paths, const QStringList& patterns);

} // namespace tunola
