#pragma once
// Moving the whole list between the playlist model and a playlist file: the save after every
// change and at shutdown, the load at start-up, and opening another list.
// UI thread: these read and change the entries, and block on disk I/O.

#include "ZuPlaylistItems.h"

#include <string>

namespace tunola {

inline constexpr const char* kPlaylistRootName = "DefaultList";
inline constexpr const char* kPlaylistListName = "PlayerList";
inline constexpr const char* kPlaylistEntryPath = "PlayerList/LIST";

enum class TPlaylistLoad {
    Loaded,     // the file was read (it may hold no entries)
    NoFile,     // there is no file at that path
    Unreadable, // the file is there but is not a playlist we can read; it was left untouched
};

// Writes every entry, first to last, into the playlist file at `path`, replacing the list that
// is there and keeping whatever else the file holds (its root name, other elements). A new file
// gets the root "DefaultList". A file that cannot be parsed is moved aside before the new one
// is written. Returns false, with a reason in `error`, when nothing could be written.
bool SaveList(const TZuPlaylistItems& items, const std::string& path, std::string* error = nullptr);

// Start-up: appends the entries of the file at `path` to the list, which keeps what it had.
// An entry whose length or stream flag does not read gets 0 or false; the others load. When
// the file cannot be read the list is left as it was.
TPlaylistLoad LoadDefaultList(TZuPlaylistItems& items, const std::string& path);

// The user opens the list `chosen`: when it reads, the list shows its entries alone (no current
// row, no selection) and `playlistFile` names it; otherwise the list and `playlistFile` stay as
// they were, so the list on screen is never saved over the file that did not read.
TPlaylistLoad OpenList(TZuPlaylistItems& items, std::string& playlistFile,
                       const std::string& chosen);

} // namespace tunola
