#pragma once
// What the playlist view shows, without the drawing: the entries, the playing row (CurrentItem),
// the selection and its anchor (SelectedIndex), the first visible row (TopIndex) and the drop
// marker of a drag (DropY). The view holds one model, forwards its gestures here and repaints on
// OnChange.
//
// Threads. Everything here belongs to the UI thread, with one exception: the stream-opening
// worker stores the length of the entry it opened and reads whether that entry is a stream,
// while the UI thread may paint, delete rows or change the current row at the same moment.
// The rules that make this safe:
//  - The model has one lock. The UI thread takes it for every change of the list's shape, of
//    CurrentItem and of an entry's fields (the entry setters do this), and reads without it:
//    nobody else writes what it reads, except LongTime, which is atomic.
//  - Any other thread touches the model only through StoreLength and SnapshotOf, which take the
//    lock, and through BeginUpdate/EndUpdate. It names the entry by its Serial (taken on the UI
//    thread when the track was started), never by index or address, so a row deleted or moved
//    meanwhile is never written to and a different row never receives the wrong length.
//  - The lock is never held while an event runs, so handlers may call back into the model.
//  - The events are set up before any worker runs and not changed while one does.
//  - OnChange runs on the thread that closes the outermost update bracket. The worker's
//    StoreLength may therefore raise it on the worker thread: the view must queue its repaint
//    to the UI thread rather than paint from the handler.

#include "ZuPlaylistItems.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tunola {

// What reading its file gave for the entry with this serial (see StoreDetails).
struct TTrackDetails {
    uint64_t Serial = 0;
    std::string Caption;
    std::string Title;
    std::string Artist;
    double Days = 0;
};

class TZuPlaylistModel {
public:
    // The marker value of CurrentItem while a move is looking for the playing entry again.
    static constexpr int kCurrentMarked = -5;

    TZuPlaylistModel();
    // Frees the entries without firing OnDeleteItem.
    ~TZuPlaylistModel();
    TZuPlaylistModel(const TZuPlaylistModel&) = delete;
    TZuPlaylistModel& operator=(const TZuPlaylistModel&) = delete;

    TZuPlaylistItems& Items() { return items_; }
    const TZuPlaylistItems& Items() const { return items_; }
    // Copies all entries of `other` (OnDeleteItem fires for the entries replaced).
    void SetItems(const TZuPlaylistItems& other) { items_.Assign(other); }

    // The playing entry, −1 for none. Setting it: nothing when unchanged (unless the row was
    // lost and is valid, which shows it again); a value outside
    // −1 … Count − 1 (or any value on an empty list) gives −1 and marks the current entry lost;
    // a valid value clears the lost mark and scrolls that row into view.
    int CurrentItem() const { return currentItem_; }
    void SetCurrentItem(int value);
    // Makes a visible row current without scrolling (a double-click on it).
    void SetCurrentItemInPlace(int row);
    // The playing entry was deleted (CurrentItem then names the entry before it) or an invalid
    // row was made current; the view shows no current row while it is set.
    bool CurrentLost() const { return currentLost_; }
    // The entry at CurrentItem, or null.
    TZuPlaylistItem* CurrentEntry() const { return items_.GetItem(currentItem_); }

    // Anchor of the selection (last clicked or keyed row), −1 for none.
    int SelectedIndex() const { return selectedIndex_; }
    void SetSelectedIndex(int value) { selectedIndex_ = value; }
    int TopIndex() const { return topIndex_; }
    void SetTopIndex(int value) { topIndex_ = value; }
    // Rows that fit in the view (its height divided by the row height); the view keeps it up to
    // date on every resize and paint.
    int VisibleCount() const { return visibleCount_; }
    void SetVisibleCount(int value) { visibleCount_ = value; }
    // Top of the drop marker during a drag, −1 when none.
    int DropY() const { return dropY_; }
    void SetDropY(int value) { dropY_ = value; }

    // Selects every entry, inside an update bracket.
    void SelectAll();
    void ClearSelection();
    // Selects every entry from `from` to `to` inclusive, in either direction (clamped to the
    // list); the others keep their state.
    void SelectRange(int from, int to);

    // Deletes every entry whose Selected equals `flag`, last to first. CurrentItem follows its
    // entry; when the playing entry itself goes, CurrentItem names the entry before it and the
    // current entry is lost. Then TopIndex and SelectedIndex are brought back into the list.
    void DeleteItems(bool flag);

    // The drop of a drag: the selected entries move, in their order, to stand before the entry
    // at `insertIndex` (an index outside the list appends them), their selection cleared. The
    // playing entry stays current wherever it lands. No OnDeleteItem fires: nothing is freed.
    void MoveSelectedTo(int insertIndex);

    // UI thread. Stores each of `details` into the entry with its serial, wherever that entry
    // stands now (rows added from their file names get their tags and lengths this way); the
    // details of entries no longer in the list are dropped. Asks for a repaint only when a row
    // in view changed. Returns the number of entries filled; `currentFilled`, when given, tells
    // whether the playing entry was one of them.
    int StoreDetails(std::vector<TTrackDetails> details, bool* currentFilled = nullptr);

    // ---- The stream-opening worker's calls (any thread; they take the lock) ----

    // Inside an update bracket, stores `days` as the LongTime of the entry with this serial.
    // Returns that entry's ISURL, or nothing when the entry is no longer in the list.
    std::optional<bool> StoreLength(uint64_t serial, double days);
    // A copy of the published fields of the entry with this serial (not its selection flags),
    // or nothing when it is no longer in the list.
    std::optional<TZuPlaylistItem> SnapshotOf(uint64_t serial) const;

    // Why the entry with this serial failed to open, shown on its row until it plays again.
    // UI thread. An empty reason clears the mark.
    void SetFailure(uint64_t serial, std::string reason);
    // The reason, or null when the entry is not marked.
    const std::string* Failure(const TZuPlaylistItem& entry) const;

    // Raised when the view should repaint (see the threading rules above).
    std::function<void(TZuPlaylistModel& sender)> OnChange;
    // Raised by each entry as it is freed, after it has left the list, with its LongTime. Not
    // raised while entries are moved or when the model itself is destroyed.
    std::function<void(const TZuPlaylistItem& sender, double length)> OnDeleteItem;

private:
    friend class TZuPlaylistItem;
    friend class TZuPlaylistItems;

    void Changed() { items_.Changed(); }
    // Failed entries by serial; serials are never reused, so marks of deleted entries are
    // only dropped at the next change.
    std::unordered_map<uint64_t, std::string> failures_;
    // Index of the entry with this serial, −1 when gone; lock held.
    int FindSerialLocked(uint64_t serial) const;

    mutable std::mutex lock_;
    uint64_t nextSerial_ = 1;
    int currentItem_ = -1;
    bool currentLost_ = false;
    int selectedIndex_ = -1;
    int topIndex_ = 0;
    int visibleCount_ = 0;
    int dropY_ = -1;
    TZuPlaylistItems items_{*this};
};

} // namespace tunola
