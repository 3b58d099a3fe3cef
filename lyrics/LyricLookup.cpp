#include "LyricLookup.h"

#include "AtomicFile.h"
#include "LyricDownload.h"
#include "LyricText.h"
#include "Similarity.h"
#include "TextCodec.h"

#include <algorithm>
#include <system_error>
#include <type_traits>
#include <utility>
#include <vector>

namespace tunola {

namespace {

constexpr int kGoodEnough = 96;
constexpr int kPerfect = 100;

bool HasLrcExtension(std::string_view name) {
    if (name.size() <= 4)
        return false;
    return LowerAscii(name.substr(name.size() - 4)) == ".lrc";
}

// The file name as bytes: UTF-8, or whatever the file system holds on POSIX. Names that are
// not valid UTF-8 there came from elsewhere (an unpacked Windows archive) and are GBK already.
std::string NameBytes(const std::filesystem::path& fileName) {
    if constexpr (std::is_same_v<std::filesystem::path::value_type, char>)
        return fileName.native();
    else
        return PathToUtf8(fileName);
}

std::string StemAsUtf8(std::string_view name) {
    const std::string_view stem = name.substr(0, name.size() - 4);
    return IsValidUtf8(name) ? std::string(stem) : Gb18030ToUtf8(stem);
}

} // namespace

TLyricFileChooser::TLyricFileChooser(std::string_view title, std::string_view artist)
    : key_(MatchBytes(std::string(title) + " " + std::string(artist))) {}

bool TLyricFileChooser::Offer(std::string_view stem, size_t index) {
    const int score = Similarity(MatchBytes(stem), key_, true);
    if (score >= kGoodEnough)
        chosen_ = index;
    return score < kPerfect;
}

std::filesystem::path FindLyricFile(const std::filesystem::path& folder, std::string_view title,
                                    std::string_view artist) {
    // In name order, not the directory's own order (hash order on most file systems): which of
    // two near matches wins must not change from one machine to the next.
    std::vector<std::pair<std::string, std::filesystem::path>> files;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::string name = NameBytes(it->path().filename());
        if (!HasLrcExtension(name))
            continue;
        std::error_code typeError;
        if (it->is_directory(typeError))
            continue;
        files.emplace_back(std::move(name), it->path());
    }
    std::sort(files.begin(), files.end());
    TLyricFileChooser chooser(title, artist);
    std::filesystem::path chosen;
    for (size_t index = 0; index < files.size(); ++index) {
        const bool goOn = chooser.Offer(StemAsUtf8(files[index].first), index);
        if (chooser.Chosen() == index)
            chosen = files[index].second;
        if (!goOn)
            break;
    }
    return chosen;
}

std::filesystem::path LyricFileBeside(const std::filesystem::path& audioFile) {
    std::filesystem::path lyric = audioFile;
    lyric.replace_extension(".lrc");
    return lyric;
}

TLyricLookup LoadLocalLyricText(const TLyricTrack& track, const std::filesystem::path& lyricDir) {
    TLyricLookup lookup;
    std::error_code ec;
    auto tryFile = [&](const std::filesystem::path& path, TLyricSource source) {
        if (path.empty() || !std::filesystem::is_regular_file(path, ec))
            return false;
        std::optional<std::string> text = ReadLyricFile(path);
        if (!text)
            return false;
        lookup.Text = std::move(*text);
        lookup.Source = source;
        lookup.Path = path;
        return true;
    };

    // Only a local file has a folder to look beside; a relative path or an address has none.
    if (track.FileName.is_absolute()) {
        std::filesystem::path beside = LyricFileBeside(track.FileName);
        if (tryFile(beside, TLyricSource::BesideAudio))
            return lookup;
        // Files copied from Windows often carry the extension in capitals.
        beside.replace_extension(".LRC");
        if (tryFile(beside, TLyricSource::BesideAudio))
            return lookup;
    }
    // The folder is searched only when the beside file did not answer: it may hold thousands.
    if (std::filesystem::is_directory(lyricDir, ec))
        tryFile(FindLyricFile(lyricDir, track.Title, track.Artist), TLyricSource::LyricFolder);
    return lookup;
}

TLyricLookup DownloadLyricText(const TLyricTrack& track, const std::filesystem::path& lyricDir,
                               ILyricDown* service) {
    TLyricLookup lookup;
    if (!service)
        return lookup;
    TLyricDownloadResult download = DownloadLyrics(service, track.Title, track.Artist, lyricDir);
    if (!download.Text.empty()) {
        lookup.Text = std::move(download.Text);
        lookup.Source = TLyricSource::Download;
        lookup.Path = std::move(download.SavedPath);
        lookup.Warning = std::move(download.Warning);
    }
    return lookup;
}

TLyricLookup LoadLyricText(const TLyricTrack& track, const std::filesystem::path& lyricDir,
                           ILyricDown* service, bool serviceOnline) {
    TLyricLookup lookup = LoadLocalLyricText(track, lyricDir);
    if (lookup.Source == TLyricSource::None && serviceOnline)
        lookup = DownloadLyricText(track, lyricDir, service);
    return lookup;
}

} // namespace tunola
