#include "PlaylistStore.h"

#include "FloatText.h"
#include "MoPlist.h"

namespace tunola {

namespace {

// Reads the list at `path` and, when it reads, puts its entries into `items` inside one update
// bracket, emptying the list first when `replace` is set.
TPlaylistLoad LoadInto(TZuPlaylistItems& items, const std::string& path, bool replace) {
    TMoPlist file(path, kPlaylistRootName);
    if (!file.FileFound())
        return TPlaylistLoad::NoFile;
    file.LoadList(kPlaylistListName); // reads and checks the file in one pass
    if (file.LoadFailed())
        return TPlaylistLoad::Unreadable;

    std::vector<TPList> records = file.TakeRecords();
    items.BeginUpdate();
    if (replace)
        items.ClearAll();
    for (TPList& record : records) {
        TZuPlaylistItem entry;
        entry.SetCaption(MakeCaption(record.Title, record.Artist));
        entry.SetFileName(std::move(record.Path));
        entry.SetTitle(std::move(record.Title));
        entry.SetArtist(std::move(record.Artist));
        entry.SetLongTime(record.Ltime);
        bool isUrl = false;
        entry.SetISURL(TryStrToBool(record.Url, isUrl) && isUrl);
        items.Add(std::move(entry));
    }
    items.EndUpdate();
    return TPlaylistLoad::Loaded;
}

} // namespace

bool SaveList(const TZuPlaylistItems& items, const std::string& path, std::string* error) {
    if (path.empty()) {
        if (error)
            *error = "no playlist file";
        return false;
    }
    TMoPlist file(path, kPlaylistRootName);
    file.ClearList(kPlaylistListName);
    for (int i = 0; i < items.Count(); ++i) {
        const TZuPlaylistItem& entry = *items.GetItem(i);
        file.AddEntry(kPlaylistEntryPath, entry.Title(), entry.Artist(), entry.ISURL() ? "1" : "0",
                      entry.FileName(), entry.LongTime());
    }
    return file.Save(error);
}

TPlaylistLoad LoadDefaultList(TZuPlaylistItems& items, const std::string& path) {
    return LoadInto(items, path, false);
}

TPlaylistLoad OpenList(TZuPlaylistItems& items, std::string& playlistFile,
                       const std::string& chosen) {
    const TPlaylistLoad result = LoadInto(items, chosen, true);
    if (result == TPlaylistLoad::Loaded)
        playlistFile = chosen;
    return result;
}

} // namespace tunola
