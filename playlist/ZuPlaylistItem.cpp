#include "ZuPlaylistItem.h"

#include "ZuPlaylistModel.h"

namespace tunola {

namespace {
constexpr size_t kStrLengthMaxBytes = 255;
} // namespace

TZuPlaylistItem::TZuPlaylistItem(const TZuPlaylistItem& other) {
    CopyFieldsFrom(other);
}

TZuPlaylistItem::TZuPlaylistItem(TZuPlaylistItem&& other) noexcept
    : caption_(std::move(other.caption_)), fileName_(std::move(other.fileName_)),
      title_(std::move(other.title_)), artist_(std::move(other.artist_)), isUrl_(other.isUrl_),
      longTime_(other.LongTime()), strLength_(std::move(other.strLength_)),
      selected_(other.selected_), currentMark_(other.currentMark_) {}

TZuPlaylistItem& TZuPlaylistItem::operator=(const TZuPlaylistItem& other) {
    if (this != &other)
        Assign(other);
    return *this;
}

void TZuPlaylistItem::CopyFieldsFrom(const TZuPlaylistItem& other) {
    caption_ = other.caption_;
    fileName_ = other.fileName_;
    title_ = other.title_;
    artist_ = other.artist_;
    isUrl_ = other.isUrl_;
    longTime_.store(other.LongTime(), std::memory_order_relaxed);
    strLength_ = other.strLength_;
    selected_ = other.selected_;
    currentMark_ = other.currentMark_;
}

// A member entry changes under the model's lock so that a worker's snapshot never sees half a
// string; the repaint request goes out after the lock is released.
template <class Change> void TZuPlaylistItem::Write(Change&& change) {
    if (!owner_) {
        change();
        return;
    }
    {
        std::lock_guard guard(owner_->lock_);
        change();
    }
    owner_->Changed();
}

void TZuPlaylistItem::Assign(const TZuPlaylistItem& other) {
    if (this == &other)
        return;
    if (other.owner_ && other.owner_ == owner_) {
        // Same list: copy first, so the lock is never taken twice.
        const TZuPlaylistItem copy(other);
        Write([&] { CopyFieldsFrom(copy); });
    } else {
        Write([&] { CopyFieldsFrom(other); });
    }
}

void TZuPlaylistItem::SetCaption(std::string value) {
    Write([&] { caption_ = std::move(value); });
}

void TZuPlaylistItem::SetFileName(std::string value) {
    Write([&] { fileName_ = std::move(value); });
}

void TZuPlaylistItem::SetTitle(std::string value) {
    Write([&] { title_ = std::move(value); });
}

void TZuPlaylistItem::SetArtist(std::string value) {
    Write([&] { artist_ = std::move(value); });
}

void TZuPlaylistItem::SetISURL(bool value) {
    Write([&] { isUrl_ = value; });
}

void TZuPlaylistItem::SetLongTime(double value) {
    Write([&] { longTime_.store(value, std::memory_order_relaxed); });
}

void TZuPlaylistItem::SetStrLength(std::string value) {
    std::string cut = CutUtf8(std::move(value), kStrLengthMaxBytes);
    Write([&] { strLength_ = std::move(cut); });
}

std::string MakeCaption(const std::string& title, const std::string& artist) {
    std::string caption;
    caption.reserve(title.size() + 3 + artist.size());
    caption += title;
    caption += " - ";
    caption += artist;
    return caption;
}

std::string CutUtf8(std::string text, size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    size_t end = maxBytes;
    // Step back over continuation bytes (10xxxxxx) to the start of the character that would be
    // split.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
    return text;
}

} // namespace tunola
