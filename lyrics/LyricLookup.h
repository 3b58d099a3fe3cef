#pragma once
// Where the lyric of a track comes from: the .lrc file beside the audio file, else the
// best-named file in the lyric folder, else (when the service is reachable) a download that is
// then kept in the lyric folder. Any thread, one lookup per service at a time; blocks on disk
// and, for a download, on the network (the player downloads on a worker: LyricLoader.h).

#include "ILyricDown.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tunola {

// Picks the lyric file for a track from file names offered in folder order. A name is scored
// against "<title> <artist>" (ASCII letters lowered, sound-alike letters equal); the first name
// scoring 100 wins at once, otherwise the last one scoring 96 or more.
class TLyricFileChooser {
public:
    TLyricFileChooser(std::string_view title, std::string_view artist);

    // `stem`: the file name without ".lrc", UTF-8. Returns false once a perfect match has
    // ended the search.
    bool Offer(std::string_view stem, size_t index);

    std::optional<size_t> Chosen() const { return chosen_; }

private:
    std::string key_; // MatchBytes of "<title> <artist>"
    std::optional<size_t> chosen_;
};

// The best-named "*.lrc" file in `folder` for the track, or an empty path. The files are
// looked at in name order (bytes), the same on every machine.
std::filesystem::path FindLyricFile(const std::filesystem::path& folder, std::string_view title,
                                    std::string_view artist);

// The audio file's path with its extension replaced by ".lrc".
std::filesystem::path LyricFileBeside(const std::filesystem::path& audioFile);

enum class TLyricSource { None, BesideAudio, LyricFolder, Download };

struct TLyricTrack {
    std::filesystem::path FileName; // the audio file (an address for streams)
    std::string Title;
    std::string Artist;
};

struct TLyricLookup {
    std::string Text; // UTF-8, lines ending in CR LF; empty when no source had a lyric
    TLyricSource Source = TLyricSource::None;
    std::filesystem::path Path; // the file read or saved; empty otherwise
    std::string Warning;        // a download could not be kept: show this (see LyricDownload.h)
};

// The two local sources: the file beside the audio file, else the best match in `lyricDir`.
TLyricLookup LoadLocalLyricText(const TLyricTrack& track, const std::filesystem::path& lyricDir);
// The download step alone (blocks while the service works); nothing for a null service.
TLyricLookup DownloadLyricText(const TLyricTrack& track, const std::filesystem::path& lyricDir,
                               ILyricDown* service);

// The lyric of a track from the first source that has one. `service` may be null; it is asked
// only when `serviceOnline`. A file that exists but cannot be read is passed over.
TLyricLookup LoadLyricText(const TLyricTrack& track, const std::filesystem::path& lyricDir,
                           ILyricDown* service, bool serviceOnline);

} // namespace tunola
