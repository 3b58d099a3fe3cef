#pragma once
// What adding "items" gives: files, folders (with their sub-folders), stream addresses and
// playlist files of every format we read, turned into the locations to list, in the order
// given. The command line, a hand-over from another start, "添加文件夹…" and "添加网络地址…"
// all add through here. Also the reading of a list file of any format, for opening one.
//
// Any thread; nothing here opens the music files themselves (TTrackFiller reads them once
// their entries are in the list).

#include "PlaylistFormats.h"

#include <ZuPlaylistItem.h>

#include <QStringList>

#include <optional>
#include <string>
#include <vector>

namespace tunola {

// The music files under `folder` and all its sub-folders that match `patterns` (wildcards, any
// case), depth first with each folder's names in order. A link that leads back into a folder
// already walked is not followed again.
QStringList CollectFolderTree(const QString& folder, const QStringList& patterns);

// An address the player streams ("http://…", "https://…", "ftp://…", "mms://…", "rtsp://…").
bool IsStreamLocation(const QString& item);

// The entry for a stream address; `title` may be empty.
TZuPlaylistItem StreamEntry(const std::string& address, const std::string& title = {});

// A list file read and parsed: the format, and the entries when it read.
struct TListFile {
    TListFormat Format = TListFormat::Unknown;
    std::optional<std::vector<TListEntry>> Entries;
};
// Reads the list at `path` (any of the formats, recognised by content). Files larger than a
// list can sensibly be are not read.
TListFile ReadListFile(const QString& path);

// The locations `items` add (see the header comment), local files as absolute paths. A file
// named directly is added whatever its name, unless it is a playlist; inside folders only
// files matching `patterns` count.
std::vector<TListEntry> ExpandItems(const QStringList& items, const QStringList& patterns);

// The other way round, for exporting the list.
TListEntry ListEntryOf(const TZuPlaylistItem& entry);

} // namespace tunola
