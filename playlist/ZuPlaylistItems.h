#pragma once
// The ordered entries of the playlist, owned by a TZuPlaylistModel (which the list view holds).
//
// Every change made outside an update bracket, and the end of the outermost bracket, tells the
// model to repaint (TZuPlaylistModel::OnChange). Brackets nest. Entries are freed last to first;
// each freed entry fires the model's OnDeleteItem after it has left the list.
//
// Threads: the UI thread is the only one that adds, inserts, deletes or clears; it takes the
// model's lock for each such change and reads without it. Other threads use only the model's
// locked calls (StoreLength, SnapshotOf). See ZuPlaylistModel.h.

#include "ZuPlaylistItem.h"

#include <atomic>
#include <memory>
#include <vector>

namespace tunola {

class TZuPlaylistModel;

class TZuPlaylistItems {
public:
    explicit TZuPlaylistItems(TZuPlaylistModel& owner) : owner_(owner) {}
    ~TZuPlaylistItems();
    TZuPlaylistItems(const TZuPlaylistItems&) = delete;
    TZuPlaylistItems& operator=(const TZuPlaylistItems&) = delete;

    int Count() const { return static_cast<int>(entries_.size()); }

    // Appends a new empty entry and returns it.
    TZuPlaylistItem& Add();
    // Appends an entry filled beforehand (one lock, one change, whatever the number of fields).
    TZuPlaylistItem& Add(TZuPlaylistItem filled);
    // A new empty entry before `index`; an index outside 0 … Count appends.
    TZuPlaylistItem& Insert(int index);
    // Null when `index` is outside 0 … Count − 1.
    TZuPlaylistItem* GetItem(int index) const;
    // Frees the entry at `index`, then signals a change. False when there is no such entry.
    // The model's current row and selection are not adjusted (DeleteItems does that).
    bool Delete(int index);
    // Resets the view's TopIndex to 0 and SelectedIndex, CurrentItem and DropY to −1, then frees
    // every entry.
    void ClearAll();
    // Replaces all entries with copies of `other`'s.
    void Assign(const TZuPlaylistItems& other);

    // The update bracket. Any thread may open and close one; see ZuPlaylistModel.h for where
    // the repaint then arrives.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateCount_.load() > 0; }

private:
    friend class TZuPlaylistModel;
    using Entries = std::vector<std::unique_ptr<TZuPlaylistItem>>;

    // Takes ownership, assigns a serial, inserts at `index` (already clamped); lock held.
    TZuPlaylistItem& InsertLocked(size_t index, std::unique_ptr<TZuPlaylistItem> entry);
    // Fires OnDeleteItem for entries that have left the list (in the given order), then frees
    // them. No lock held.
    void Dispose(Entries removed);
    // Signals a change: a repaint unless an update bracket is open.
    void Changed();

    TZuPlaylistModel& owner_;
    Entries entries_;
    std::atomic<int> updateCount_{0};
};

} // namespace tunola
