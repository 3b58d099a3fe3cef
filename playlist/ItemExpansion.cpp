#include "ItemExpansion.h"

#include "FloatText.h"
#include "FolderListing.h"
#include "MoPlist.h"

#include <AtomicFile.h>
#include <StreamAddress.h>

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <cmath>

namespace tunola {

namespace {

// Lists are text of a few megabytes at most; anything bigger is not one.
constexpr qint64 kMaxListBytes = 64 * 1024 * 1024;

void WalkFolder(const QString& folder, const TNamePatterns& patterns, QSet<QString>& seen,
                QStringList& out) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || seen.contains(canonical))
        return;
    seen.insert(canonical);
    for (const TFolderChild& child : ListFolder(folder, patterns)) {
        if (child.IsFolder)
            WalkFolder(child.Path, patterns, seen, out);
        else
            out.push_back(child.Path);
    }
}

bool LooksLikeList(const QString& path) {
    static const QStringList kSuffixes = {QStringLiteral("m3u"), QStringLiteral("m3u8"),
                                          QStringLiteral("pls"), QStringLiteral("xspf"),
                                          QStringLiteral("xml")};
    return kSuffixes.contains(QFileInfo(path).suffix().toLower());
}

TListEntry FromRecord(const TPList& record) {
    TListEntry entry;
    entry.Location = record.Path;
    bool isUrl = false;
    entry.IsUrl = TryStrToBool(record.Url, isUrl) && isUrl;
    entry.Title = record.Title;
    entry.Artist = record.Artist;
    entry.Seconds = record.Ltime > 0 ? record.Ltime * 86400.0 : 0;
    return entry;
}

} // namespace

bool IsStreamLocation(const QString& item) {
    return IsStreamAddress(item.toStdString());
}

QStringList CollectFolderTree(const QString& folder, const QStringList& patterns) {
    QStringList out;
    QSet<QString> seen;
    WalkFolder(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()), TNamePatterns(patterns), seen,
               out);
    return out;
}

TZuPlaylistItem StreamEntry(const std::string& address, const std::string& title) {
    TZuPlaylistItem entry;
    entry.SetFileName(address);
    entry.SetISURL(true);
    entry.SetTitle(title.empty() ? address : title);
    entry.SetCaption(title.empty() ? address : title);
    return entry;
}

TListFile ReadListFile(const QString& path) {
    TListFile result;
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxListBytes)
        return result;
    std::string bytes;
    if (!ReadWholeFile(PathFromUtf8(path.toStdString()), bytes))
        return result;
    result.Format = DetectListFormat(bytes, path.toStdString());
    if (result.Format == TListFormat::Native) {
        if (auto records = ReadListRecords(bytes, "PlayerList")) {
            std::vector<TListEntry> entries;
            entries.reserve(records->size());
            for (const TPList& record : *records)
                entries.push_back(FromRecord(record));
            result.Entries = std::move(entries);
        }
        return result;
    }
    result.Entries = ParseForeignList(bytes, result.Format, info.absolutePath().toStdString());
    return result;
}

std::vector<TListEntry> ExpandItems(const QStringList& items, const QStringList& patterns) {
    const TNamePatterns matchers(patterns);
    std::vector<TListEntry> list;
    auto addFile = [&list](const QString& path) {
        TListEntry entry;
        entry.Location = QFileInfo(path).absoluteFilePath().toStdString();
        list.push_back(std::move(entry));
    };
    for (const QString& item : items) {
        if (IsStreamAddress(item.toStdString())) {
            TListEntry entry;
            entry.Location = item.toStdString();
            entry.IsUrl = true;
            list.push_back(std::move(entry));
            continue;
        }
        const QFileInfo info(item);
        if (info.isDir()) {
            for (const QString& file : CollectFolderTree(item, patterns)) {
                TListEntry entry;
                entry.Location = file.toStdString(); // absolute already
                list.push_back(std::move(entry));
            }
        } else if (info.isFile()) {
            // A music file is never taken for a list; a list is known by its name or, when its
            // name tells nothing, by its content.
            if (!matchers.Matches(info.fileName()) || LooksLikeList(item)) {
                TListFile file = ReadListFile(item);
                if (file.Entries) {
                    for (TListEntry& entry : *file.Entries)
                        list.push_back(std::move(entry));
                    continue;
                }
            }
            addFile(item);
        }
    }
    return list;
}

TListEntry ListEntryOf(const TZuPlaylistItem& entry) {
    TListEntry item;
    item.Location = entry.FileName();
    item.IsUrl = entry.ISURL();
    item.Title = entry.Title();
    item.Artist = entry.Artist();
    const double seconds = entry.LongTime() * 86400.0;
    item.Seconds = std::isfinite(seconds) && seconds > 0 ? seconds : 0;
    return item;
}

} // namespace tunola
