#include "TrackReader.h"

#include "FolderListing.h"

#include <AudioLibrary.h>

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace tunola {

namespace {

// Frees a decode-only stream however the reading ends.
class TDecodeStream {
public:
    TDecodeStream(tunaudio::TAudioLibrary& audio, const std::string& path)
        : audio_(audio),
          handle_(audio.StreamCreateFile(false, path, 0, 0, tunaudio::kStreamDecode)) {}
    ~TDecodeStream() {
        if (handle_)
            audio_.StreamFree(handle_);
    }
    TDecodeStream(const TDecodeStream&) = delete;
    TDecodeStream& operator=(const TDecodeStream&) = delete;

    tunaudio::HSTREAM Handle() const { return handle_; }

private:
    tunaudio::TAudioLibrary& audio_;
    tunaudio::HSTREAM handle_;
};

bool Blank(const std::string& text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) > ' ')
            return false;
    return true;
}

} // namespace

std::string FileTitle(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

TZuPlaylistItem ReadTrackEntry(tunaudio::TAudioLibrary* audio, const std::string& path) {
    std::string title;
    std::string artist;
    double days = 0;
    if (audio) {
        const TDecodeStream stream(*audio, path);
        if (const tunaudio::HSTREAM handle = stream.Handle()) {
            const tunaudio::QWORD bytes = audio->ChannelGetLength(handle, tunaudio::kPosByte);
            if (bytes != tunaudio::kUnknown) {
                const double seconds = audio->ChannelBytes2Seconds(handle, bytes);
                if (std::isfinite(seconds) && seconds > 0)
                    days = seconds / 86400.0;
            }
            title = audio->TagsRead(handle, "%TITL");
            artist = audio->TagsRead(handle, "%ARTI");
        }
    }
    if (Blank(title))
        title = FileTitle(path);

    TZuPlaylistItem entry;
    entry.SetFileName(path);
    entry.SetISURL(false);
    entry.SetLongTime(days);
    entry.SetCaption(MakeCaption(title, artist));
    entry.SetTitle(std::move(title));
    entry.SetArtist(std::move(artist));
    return entry;
}

QStringList CollectAudioFiles(const QStringList& paths, const QStringList& patterns) {
    const TNamePatterns audio(patterns);
    QStringList files;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            for (const TFolderChild& child :
                 ListFolder(QDir::cleanPath(info.absoluteFilePath()), audio))
                if (!child.IsFolder)
                    files.push_back(child.Path);
        } else if (info.isFile() && audio.Matches(info.fileName())) {
            files.push_back(info.absoluteFilePath());
        }
    }
    return files;
}

} // namespace tunola
