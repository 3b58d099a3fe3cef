#include "ZuPlaylistModel.h"

#include <algorithm>

namespace tunola {

TZuPlaylistModel::TZuPlaylistModel() = default;

// The entries go with items_, which frees them without events.
TZuPlaylistModel::~TZuPlaylistModel() = default;

void TZuPlaylistModel::SetCurrentItem(int value) {
    // A lost current row given again (its entry was deleted, then the row before it is played)
    // is shown again rather than left without highlight.
    if (value == currentItem_ && !(currentLost_ && value >= 0 && value < items_.Count()))
        return;
    {
        std::lock_guard guard(lock_);
        const int count = items_.Count();
        if (count == 0 || value < -1 || value >= count) {
            currentItem_ = -1;
            currentLost_ = true;
        } else {
            currentItem_ = value;
            currentLost_ = false;
            // "No current row" scrolls nowhere: row −1 at the top would leave a blank row.
            if (value >= 0) {
                const int visible = visibleCount_;
                if (value < topIndex_)
                    topIndex_ = value;
                else if (value > topIndex_ + visible - 1)
                    topIndex_ = std::max(0, std::min(value - visible + 1, count - visible));
            }
        }
    }
    Changed();
}

void TZuPlaylistModel::SetCurrentItemInPlace(int row) {
    if (row < 0 || row >= items_.Count())
        return;
    {
        std::lock_guard guard(lock_);
        currentItem_ = row;
        currentLost_ = false;
    }
    Changed();
}

void TZuPlaylistModel::SelectAll() {
    items_.BeginUpdate();
    for (const auto& entry : items_.entries_)
        entry->selected_ = true;
    items_.EndUpdate();
}

void TZuPlaylistModel::ClearSelection() {
    for (const auto& entry : items_.entries_)
        entry->selected_ = false;
}

void TZuPlaylistModel::SelectRange(int from, int to) {
    const int count = items_.Count();
    if (count == 0)
        return;
    if (from > to)
        std::swap(from, to);
    from = std::max(from, 0);
    to = std::min(to, count - 1);
    for (int i = from; i <= to; ++i)
        items_.entries_[static_cast<size_t>(i)]->selected_ = true;
}

void TZuPlaylistModel::DeleteItems(bool flag) {
    if (items_.Count() == 0)
        return;
    items_.BeginUpdate();
    TZuPlaylistItems::Entries removed;
    {
        std::lock_guard guard(lock_);
        auto& entries = items_.entries_;
        // One pass from the last entry to the first, as if each were deleted in turn; the list
        // is compacted once at the end so that clearing a long list stays linear.
        for (int i = static_cast<int>(entries.size()) - 1; i >= 0; --i) {
            auto& entry = entries[static_cast<size_t>(i)];
            if (entry->selected_ != flag)
                continue;
            if (i == currentItem_) {
                --currentItem_;
                currentLost_ = true;
            } else if (i < currentItem_) {
                --currentItem_;
            }
            removed.push_back(std::move(entry));
        }
        entries.erase(std::remove(entries.begin(), entries.end(), nullptr), entries.end());

        const int count = static_cast<int>(entries.size());
        if (count < topIndex_)
            topIndex_ = 0;
        if (selectedIndex_ >= count)
            selectedIndex_ = -1;
        if (count - 1 < topIndex_ + visibleCount_)
            topIndex_ = std::max(0, count - visibleCount_);
    }
    items_.Dispose(std::move(removed));
    items_.EndUpdate();
}

void TZuPlaylistModel::MoveSelectedTo(int insertIndex) {
    items_.BeginUpdate();
    {
        std::lock_guard guard(lock_);
        auto& entries = items_.entries_;
        const int count = static_cast<int>(entries.size());
        if (currentItem_ >= 0 && currentItem_ < count) {
            entries[static_cast<size_t>(currentItem_)]->currentMark_ = true;
            currentItem_ = kCurrentMarked;
        }
        const size_t at = insertIndex >= 0 && insertIndex <= count
                              ? static_cast<size_t>(insertIndex)
                              : entries.size();
        // The moved entries land before the entry that stood at `at` before the move.
        TZuPlaylistItems::Entries before, moved, after;
        for (size_t i = 0; i < entries.size(); ++i) {
            auto& entry = entries[i];
            if (entry->selected_) {
                entry->selected_ = false;
                moved.push_back(std::move(entry));
            } else {
                (i < at ? before : after).push_back(std::move(entry));
            }
        }
        entries.clear();
        entries.reserve(static_cast<size_t>(count));
        for (auto* part : {&before, &moved, &after})
            for (auto& entry : *part)
                entries.push_back(std::move(entry));

        if (currentItem_ == kCurrentMarked) {
            currentItem_ = -1;
            for (size_t i = 0; i < entries.size(); ++i) {
                if (entries[i]->currentMark_) {
                    entries[i]->currentMark_ = false;
                    currentItem_ = static_cast<int>(i);
                    break;
                }
            }
        } else {
            currentItem_ = -1;
        }
    }
    items_.EndUpdate();
}

int TZuPlaylistModel::FindSerialLocked(uint64_t serial) const {
    const auto& entries = items_.entries_;
    const int count = static_cast<int>(entries.size());
    // The worker's entry is nearly always still the current one.
    if (currentItem_ >= 0 && currentItem_ < count &&
        entries[static_cast<size_t>(currentItem_)]->serial_ == serial)
        return currentItem_;
    for (int i = 0; i < count; ++i)
        if (entries[static_cast<size_t>(i)]->serial_ == serial)
            return i;
    return -1;
}

int TZuPlaylistModel::StoreDetails(std::vector<TTrackDetails> details, bool* currentFilled) {
    if (currentFilled)
        *currentFilled = false;
    if (details.empty())
        return 0;
    // One pass over the list per batch: looking each serial up on its own would cost a pass
    // per file.
    std::unordered_map<uint64_t, TTrackDetails*> bySerial;
    bySerial.reserve(details.size());
    for (TTrackDetails& item : details)
        bySerial.emplace(item.Serial, &item);
    size_t filled = 0;
    bool inView = false;
    {
        std::lock_guard guard(lock_);
        const auto& entries = items_.entries_;
        for (size_t i = 0; i < entries.size() && filled < bySerial.size(); ++i) {
            const auto found = bySerial.find(entries[i]->serial_);
            if (found == bySerial.end())
                continue;
            TZuPlaylistItem& entry = *entries[i];
            TTrackDetails& item = *found->second;
            entry.caption_ = std::move(item.Caption);
            entry.title_ = std::move(item.Title);
            entry.artist_ = std::move(item.Artist);
            entry.longTime_.store(item.Days, std::memory_order_relaxed);
            ++filled;
            const int row = static_cast<int>(i);
            inView = inView || (row >= topIndex_ && row < topIndex_ + visibleCount_);
            if (currentFilled && row == currentItem_)
                *currentFilled = true;
        }
    }
    if (inView)
        Changed();
    return static_cast<int>(filled);
}

std::optional<bool> TZuPlaylistModel::StoreLength(uint64_t serial, double days) {
    std::optional<bool> isUrl;
    items_.BeginUpdate();
    {
        std::lock_guard guard(lock_);
        const int index = FindSerialLocked(serial);
        if (index >= 0) {
            TZuPlaylistItem& entry = *items_.entries_[static_cast<size_t>(index)];
            entry.longTime_.store(days, std::memory_order_relaxed);
            isUrl = entry.isUrl_;
        }
    }
    items_.EndUpdate();
    return isUrl;
}

std::optional<TZuPlaylistItem> TZuPlaylistModel::SnapshotOf(uint64_t serial) const {
    std::lock_guard guard(lock_);
    const int index = FindSerialLocked(serial);
    if (index < 0)
        return std::nullopt;
    // The published fields only: the selection flags are the UI thread's, written without the
    // lock, and mean nothing to a worker.
    const TZuPlaylistItem& entry = *items_.entries_[static_cast<size_t>(index)];
    TZuPlaylistItem copy;
    copy.caption_ = entry.caption_;
    copy.fileName_ = entry.fileName_;
    copy.title_ = entry.title_;
    copy.artist_ = entry.artist_;
    copy.isUrl_ = entry.isUrl_;
    copy.longTime_.store(entry.LongTime(), std::memory_order_relaxed);
    copy.strLength_ = entry.strLength_;
    return copy;
}

void TZuPlaylistModel::SetFailure(uint64_t serial, std::string reason) {
    if (serial == 0)
        return;
    if (reason.empty()) {
        if (failures_.erase(serial) == 0)
            return;
    } else {
        // Marks of entries that have left the list go now, so the map stays small.
        std::lock_guard lock(lock_);
        std::erase_if(failures_,
                      [this](const auto& mark) { return FindSerialLocked(mark.first) < 0; });
        failures_[serial] = std::move(reason);
    }
    Changed();
}

const std::string* TZuPlaylistModel::Failure(const TZuPlaylistItem& entry) const {
    if (failures_.empty())
        return nullptr;
    const auto it = failures_.find(entry.Serial());
    return it == failures_.end() ? nullptr : &it->second;
}

} // namespace tunola
