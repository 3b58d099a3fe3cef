#include "ZuPlaylistItems.h"

#include "ZuPlaylistModel.h"

#include <algorithm>
#include <mutex>

namespace tunola {

TZuPlaylistItems::~TZuPlaylistItems() = default;

TZuPlaylistItem& TZuPlaylistItems::InsertLocked(size_t index,
                                                std::unique_ptr<TZuPlaylistItem> entry) {
    entry->owner_ = &owner_;
    entry->serial_ = owner_.nextSerial_++;
    return **entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(index),
                             std::move(entry));
}

TZuPlaylistItem& TZuPlaylistItems::Add() {
    return Insert(Count());
}

TZuPlaylistItem& TZuPlaylistItems::Add(TZuPlaylistItem filled) {
    auto entry = std::make_unique<TZuPlaylistItem>(std::move(filled));
    TZuPlaylistItem* added;
    {
        std::lock_guard guard(owner_.lock_);
        added = &InsertLocked(entries_.size(), std::move(entry));
    }
    Changed();
    return *added;
}

TZuPlaylistItem& TZuPlaylistItems::Insert(int index) {
    auto entry = std::make_unique<TZuPlaylistItem>();
    TZuPlaylistItem* added;
    {
        std::lock_guard guard(owner_.lock_);
        const size_t at =
            index >= 0 && index <= Count() ? static_cast<size_t>(index) : entries_.size();
        added = &InsertLocked(at, std::move(entry));
    }
    Changed();
    return *added;
}

TZuPlaylistItem* TZuPlaylistItems::GetItem(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return entries_[static_cast<size_t>(index)].get();
}

bool TZuPlaylistItems::Delete(int index) {
    Entries removed;
    {
        std::lock_guard guard(owner_.lock_);
        if (index < 0 || index >= Count())
            return false;
        const auto it = entries_.begin() + index;
        removed.push_back(std::move(*it));
        entries_.erase(it);
    }
    Dispose(std::move(removed));
    Changed();
    return true;
}

void TZuPlaylistItems::ClearAll() {
    BeginUpdate();
    Entries removed;
    {
        std::lock_guard guard(owner_.lock_);
        owner_.topIndex_ = 0;
        owner_.selectedIndex_ = -1;
        owner_.currentItem_ = -1;
        owner_.dropY_ = -1;
        removed.swap(entries_);
    }
    std::reverse(removed.begin(), removed.end());
    Dispose(std::move(removed));
    EndUpdate();
}

void TZuPlaylistItems::Assign(const TZuPlaylistItems& other) {
    if (&other == this)
        return;
    BeginUpdate();
    // Copy first: `other` may lose entries to an OnDeleteItem handler of ours.
    std::vector<TZuPlaylistItem> copies;
    copies.reserve(other.entries_.size());
    for (const auto& entry : other.entries_)
        copies.emplace_back(*entry);
    Entries removed;
    {
        std::lock_guard guard(owner_.lock_);
        removed.swap(entries_);
    }
    std::reverse(removed.begin(), removed.end());
    Dispose(std::move(removed));
    for (auto& copy : copies)
        Add(std::move(copy));
    EndUpdate();
}

void TZuPlaylistItems::Dispose(Entries removed) {
    for (auto& entry : removed) {
        entry->owner_ = nullptr;
        if (owner_.OnDeleteItem)
            owner_.OnDeleteItem(*entry, entry->LongTime());
        entry.reset();
    }
}

void TZuPlaylistItems::BeginUpdate() {
    updateCount_.fetch_add(1);
}

void TZuPlaylistItems::EndUpdate() {
    int count = updateCount_.load();
    // An unbalanced end must not push the count below zero and silence every later repaint.
    while (count > 0 && !updateCount_.compare_exchange_weak(count, count - 1)) {
    }
    if (count == 1)
        Changed();
}

void TZuPlaylistItems::Changed() {
    if (updateCount_.load() == 0 && owner_.OnChange)
        owner_.OnChange(owner_);
}

} // namespace tunola
