#pragma once
// One playlist entry: a local file or a network stream, with what the list shows for it.
//
// An entry either stands alone (a copy, a record being filled) or belongs to one
// TZuPlaylistModel. The setters of a member entry take the model's lock and tell the model that
// something changed (a repaint unless an update bracket is open); see ZuPlaylistModel.h for the
// threading rules. Getters never lock: they are for the UI thread, or for a standalone copy.

#include <atomic>
#include <cstdint>
#include <string>

namespace tunola {

class TZuPlaylistModel;

class TZuPlaylistItem {
public:
    TZuPlaylistItem() = default;
    // Copies all nine fields; the copy belongs to no list.
    TZuPlaylistItem(const TZuPlaylistItem& other);
    TZuPlaylistItem& operator=(const TZuPlaylistItem& other);
    // Takes the fields of a standalone entry (one being filled before it joins a list).
    TZuPlaylistItem(TZuPlaylistItem&& other) noexcept;

    // Copies all nine fields of `other` into this entry (the entry keeps its list and serial).
    void Assign(const TZuPlaylistItem& other);

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string value);
    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string value);
    const std::string& Title() const { return title_; }
    void SetTitle(std::string value);
    const std::string& Artist() const { return artist_; }
    void SetArtist(std::string value);
    bool ISURL() const { return isUrl_; }
    void SetISURL(bool value);
    // Length as a fraction of a day (seconds / 86400); 0 when unknown. Safe to read from the UI
    // thread while a worker stores it through the model.
    double LongTime() const { return longTime_.load(std::memory_order_relaxed); }
    void SetLongTime(double value);
    // The length as the view formats it; at most 255 bytes, cut at a character boundary.
    const std::string& StrLength() const { return strLength_; }
    void SetStrLength(std::string value);

    // View state, UI thread only; no repaint of their own (the view repaints after a gesture).
    bool Selected() const { return selected_; }
    void SetSelected(bool value) { selected_ = value; }
    bool CurrentMark() const { return currentMark_; }
    void SetCurrentMark(bool value) { currentMark_ = value; }

    // Names this entry for as long as it is in its list, unlike its address, which a freed and
    // reallocated entry may share. 0 for an entry that belongs to no list.
    uint64_t Serial() const { return serial_; }

private:
    friend class TZuPlaylistModel;
    friend class TZuPlaylistItems;

    template <class Change> void Write(Change&& change);
    void CopyFieldsFrom(const TZuPlaylistItem& other);

    std::string caption_;
    std::string fileName_;
    std::string title_;
    std::string artist_;
    bool isUrl_ = false;
    std::atomic<double> longTime_{0.0};
    std::string strLength_;
    bool selected_ = false;
    bool currentMark_ = false;

    TZuPlaylistModel* owner_ = nullptr;
    uint64_t serial_ = 0;
};

// The text a list row shows: "Title - Artist" (an entry without artist ends in " - ").
std::string MakeCaption(const std::string& title, const std::string& artist);

// Cuts UTF-8 text to at most `maxBytes` bytes without splitting a character.
std::string CutUtf8(std::string text, size_t maxBytes);

} // namespace tunola
