#pragma once
// TTunPlayList: the skinned playlist window. It holds the playlist view lv_list (whose model
// is the player's one playlist), the random-play order, a menu button, a close button and the
// playlist menu pm_list: add music, open a list, make a new list, the play mode, delete the
// selection, clear the list. It loads the current list when it is made and writes the list
// file after every change; the main window saves it once more at shutdown (SaveList).
//
// Added files go into the list at once with their file names; their tags and lengths follow
// from the reader threads of a TTrackFiller (see TrackFiller.h), and the list is written once
// they are all in. Audio files and folders dropped on the window from a file manager are added
// like "添加音乐", before the row under the mouse.
//
// UI thread only. The window reads and writes the shared playback values (PlayMode,
// PlayIndex, PlaylistFile) in the TAppState it is given, and asks the host to play and stop.

#include "PlaylistDialogs.h"
#include "PlaylistFormats.h"
#include "PlaylistHost.h"
#include "TrackFiller.h"
#include "ZuPlaylist.h"

#include <AppState.h>
#include <ShuffleOrder.h>
#include <ZuButton.h>
#include <ZuForm.h>
#include <ZuWindow.h>

#include <QMenu>

namespace tunaudio {
class TAudioLibrary;
}

namespace tunola {

class TTunPlayList : public TZuFormEx {
    Q_OBJECT
public:
    // The filter of "添加音乐" until the main window sets its own.
    static constexpr const char* kDefaultMusicFilter =
        "所有音乐|*.mp3;*.mp2;*.mp1;*.ogg;*.wav*;*.aif;*.aiff";
    // The player's own lists; opening also reads the lists of other players.
    static constexpr const char* kListFilter = "播放列表|*.pls";
    static constexpr const char* kOpenListFilter =
        "播放列表|*.pls;*.m3u;*.m3u8;*.xspf;*.xml|所有文件|*";
    static constexpr const char* kExportFilter =
        "M3U8 播放列表|*.m3u8|PLS 播放列表|*.pls|XSPF 播放列表|*.xspf";

    // Loads PlaylistFile, builds the random order and checks the menu item of PlayMode.
    // `audio` may be null (entries then get no length or tags).
    TTunPlayList(TAppState& state, tunaudio::TAudioLibrary* audio, IPlaylistHost& host,
                 QWidget* parent = nullptr);
    ~TTunPlayList() override;

    TZuPlaylistModel& Playlist() { return lv_list->Model(); }
    TShuffleOrder& ShuffleOrder() { return shuffleOrder_; }
    const TShuffleOrder& ShuffleOrder() const { return shuffleOrder_; }

    // The filter of "添加音乐" in the player's form ("所有音乐|*.mp3;*.ogg", add-on formats
    // appended); it also decides which dropped files are music.
    const QString& OpenFileFilter() const { return openFileFilter_; }
    void SetOpenFileFilter(const QString& filter) { openFileFilter_ = filter; }

    // Writes the list to PlaylistFile. False when it could not be written.
    bool SaveList();
    // The add-music command: true when the dialog was confirmed.
    bool AddFiles();
    // Adds the music among `paths` (files, and the files inside folders) so that it stands
    // before entry `index` (anything outside the list appends), selected; saves once their
    // tags are in.
    void AddPaths(const QStringList& paths, int index);

    // Adds at the end, in order: files (any name: the user chose them), folders with their
    // sub-folders (the music in them, in name order), stream addresses and the entries of
    // playlist files; saves once their tags are in. Returns the number of entries added.
    int AppendItems(const QStringList& items);
    // The entry with this serial is about to play: when its file is still waiting for a
    // reader, it is read now, here, so that its start shows its tags.
    void CompleteEntry(uint64_t serial) { filler_->ReadNow(serial); }
    // Tags and lengths of added files are still being read.
    bool Filling() const { return filler_ && filler_->Busy(); }
    // Closing: stops the readers (waiting at most `boundMs` for one inside a file) and keeps
    // what they read; entries not read yet stay as they are shown. False when a reader is
    // still busy after the bound: the audio library must then not be freed.
    bool StopFilling(int boundMs);
    // Every added file's tags and length are in and the list was saved.
    std::function<void()> OnFilled;
    // The playing entry's caption was filled in from its file.
    std::function<void()> OnCurrentFilled;
    // Appends one internet entry (caption title + " - " + artist, length 0), rebuilds the
    // random order and saves the list, so a crash right after loses nothing. Returns its index.
    int AppendInternetEntry(std::string fileName, std::string title, std::string artist);
    // Selects entry `index` alone and deletes it as the menu's delete does; false when there is
    // no such entry.
    bool RemoveEntry(int index);
    // Sets the play mode as the menu does and checks its item.
    void SetPlayMode(TPlayMode mode);
    // The play mode changed (the menu or SetPlayMode).
    std::function<void()> OnPlayModeChanged;

    // The dialogs; tests replace them.
    TPlaylistDialogs Dialogs;

    // Components, by the names the skin uses.
    TZuWindow* ZuWindow1 = nullptr;
    TZuButton* btn_menu = nullptr;
    TZuButton* btn_close = nullptr;
    TZuPlaylist* lv_list = nullptr;
    QMenu* pm_list = nullptr;
    QAction* pml_addfile = nullptr;
    QAction* pml_addfolder = nullptr; // "添加文件夹…"
    QAction* pml_addurl = nullptr;    // "添加网络地址…"
    QMenu* N2 = nullptr;              // "列表操作"
    QAction* pml_openlist = nullptr;
    QAction* pml_newlist = nullptr;
    QAction* pml_saveas = nullptr; // "另存为…"
    QMenu* N3 = nullptr;           // "播放模式"
    QAction* pml_repeat = nullptr;
    QAction* pml_rnd = nullptr;
    QAction* pml_onerepeat = nullptr;
    QAction* pml_del = nullptr;
    QAction* pml_cls = nullptr;

    // Handlers.
    void btn_menuClick();
    void btn_closeClick();
    void lv_listDblClick();
    void pml_addfileClick() { AddFiles(); }
    void pml_openlistClick();
    void pml_newlistClick();
    // Writes the list as M3U8, PLS or XSPF, by the chosen name's extension (M3U8 otherwise).
    void pml_saveasClick();
    void pml_addfolderClick();
    void pml_addurlClick();
    // The three play-mode items; `item` is the one clicked (its data is its tag, 1 to 3).
    void pml_repeatClick(QAction* item);
    void pml_delClick();
    void pml_clsClick();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildComponents();
    void BuildMenu();
    void FormCreate();
    // Writes the current list's path into the program folder's configuration.
    void WritePlaylistPath();
    // The drag moved rows: the playing entry may stand elsewhere now.
    void lv_listItemsMoved();
    // After rows moved or were inserted, "next" goes on from where the playing entry now is.
    void FollowPlayingEntry();
    void CheckPlayModeItem();
    // Puts placeholder entries for `listed` before entry `index` (anything outside the list
    // appends; an insert leaves them selected), queues their files for reading, and saves now
    // when nothing is to be read. Returns the number added.
    int AddListed(std::vector<TListEntry> listed, int index);
    void FillDone();
    // Another player's list becomes a list of our own in UserDir, which PlaylistFile names.
    bool ImportList(const QString& chosen, const std::vector<TListEntry>& entries);
    void Tell(const QString& title, const QString& text);

    TAppState& state_;
    tunaudio::TAudioLibrary* audio_;
    IPlaylistHost& host_;
    TShuffleOrder shuffleOrder_;
    // Made with the view, whose model it fills; goes before the view.
    std::unique_ptr<TTrackFiller> filler_;
    QString openFileFilter_ = QString::fromUtf8(kDefaultMusicFilter);
};

} // namespace tunola
