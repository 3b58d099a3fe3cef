#include "ZuPlaylist.h"

#include "ZuTimeFormat.h"

#include <QEvent>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace tunola {

using namespace zuplaylist;

TZuPlaylist::TZuPlaylist(QWidget* parent) : TZuCustomControl(parent) {
    resize(150, 150);
    setFocusPolicy(Qt::StrongFocus);
    setFont(QFont(QStringLiteral("Tahoma"), 9));
    setAcceptDrops(true);
    selectionColor_ = Color32(clHighlight);

    scrollBar_ = new TZuScrollBar(this);
    scrollBar_->SetMax(1);
    scrollBar_->SetColor(WinColor(backColor_));
    scrollBar_->OnChange = [this](QWidget&) { ScrollBarChanged(); };
    scrollBar_->setVisible(barShown_);

    model_.OnChange = [this](TZuPlaylistModel&) { ModelChanged(); };
    SyncLayout();
}

TZuPlaylist::~TZuPlaylist() {
    // The model outlives nothing of ours: no more repaints from it.
    model_.OnChange = nullptr;
    scrollBar_->OnChange = nullptr;
}

void TZuPlaylist::SetBackColor(TColor32 color) {
    if (backColor_ == color)
        return;
    backColor_ = color;
    // Whatever the track picture leaves transparent shows the list's background.
    scrollBar_->SetColor(WinColor(color));
    update();
}

void TZuPlaylist::SetDropImage(const TZuBitmap32& image) {
    dropImage_.Assign(&image);
    if (dragging_)
        update();
}

void TZuPlaylist::SetScrollBarWidth(uint8_t width) {
    if (scrollBarWidth_ == width)
        return;
    scrollBarWidth_ = width;
    SyncLayout();
    update();
}

void TZuPlaylist::SetScrollBarTopMargin(uint8_t margin) {
    if (scrollBarTopMargin_ == margin)
        return;
    scrollBarTopMargin_ = margin;
    SyncLayout();
    update();
}

void TZuPlaylist::SetScrollBarBottomMargin(uint8_t margin) {
    if (scrollBarBottomMargin_ == margin)
        return;
    scrollBarBottomMargin_ = margin;
    SyncLayout();
    update();
}

void TZuPlaylist::SetAutoHideScrollBar(bool autoHide) {
    if (autoHideScrollBar_ == autoHide)
        return;
    autoHideScrollBar_ = autoHide;
    SyncLayout();
    update();
}

void TZuPlaylist::SetTimeFormat(const std::string& format) {
    if (timeFormat_ == format)
        return;
    timeFormat_ = format;
    TZuPlaylistItems& items = model_.Items();
    items.BeginUpdate();
    for (int i = 0; i < items.Count(); ++i) {
        TZuPlaylistItem* entry = items.GetItem(i);
        entry->SetStrLength(FormatTimeOfDay(timeFormat_, entry->LongTime()));
    }
    items.EndUpdate();
    update();
}

TZuListGeometry TZuPlaylist::Geometry() const {
    TZuListGeometry g;
    g.TopIndex = model_.TopIndex();
    g.Count = model_.Items().Count();
    g.ItemHeight = kItemHeight;
    g.Height = height();
    g.RowRight = barShown_ ? scrollBar_->x() : width();
    return g;
}

void TZuPlaylist::ModelChanged() {
    if (QThread::currentThread() != thread()) {
        // One queued repaint covers any number of changes made before it runs.
        if (!repaintQueued_.exchange(true))
            QMetaObject::invokeMethod(
                this,
                [this] {
                    repaintQueued_ = false;
                    ModelChanged();
                },
                Qt::QueuedConnection);
        return;
    }
    SyncLayout();
    update();
}

bool TZuPlaylist::SyncLayout() {
    const int visible = VisibleCount();
    model_.SetVisibleCount(visible);
    const int count = model_.Items().Count();

    const TZuBarPlace place = ScrollBarPlace(width(), height(), scrollBarWidth_,
                                             scrollBarTopMargin_, scrollBarBottomMargin_);
    const QRect bounds(place.Left, place.Top, place.Width, place.Height);
    if (scrollBar_->geometry() != bounds)
        scrollBar_->setGeometry(bounds);

    if (count - visible < 0) {
        scrollBar_->SetMax(0);
    } else {
        scrollBar_->SetMax(count - visible);
        scrollBar_->SetPosition(model_.TopIndex(), false);
    }

    const bool shown = zuplaylist::ScrollBarShown(autoHideScrollBar_, height(), count, kItemHeight);
    if (barShown_ == shown)
        return false;
    barShown_ = shown;
    scrollBar_->setVisible(shown);
    return true;
}

void TZuPlaylist::SetTopIndex(int top) {
    if (model_.TopIndex() == top)
        return;
    model_.SetTopIndex(top);
    update();
}

void TZuPlaylist::ScrollBarChanged() {
    SetTopIndex(scrollBar_->Position());
}

void TZuPlaylist::resizeEvent(QResizeEvent* event) {
    TZuCustomControl::resizeEvent(event);
    SyncLayout();
    // A taller view shows more rows: no empty rows under the last entry while there are
    // entries above the first row shown.
    const int maxTop = ScrollMaxFor(model_.Items().Count(), VisibleCount());
    if (model_.TopIndex() > maxTop) {
        model_.SetTopIndex(maxTop);
        SyncLayout();
    }
    update();
}

void TZuPlaylist::changeEvent(QEvent* event) {
    TZuCustomControl::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        update();
}

TZuPlaylist::TRowLook TZuPlaylist::LookOf(int index) const {
    const TZuPlaylistItem* entry = model_.Items().GetItem(index);
    if (!entry)
        return {};
    return {entry->Serial(), entry->Selected(),
            index == model_.CurrentItem() && !model_.CurrentLost()};
}

void TZuPlaylist::RememberRows() {
    lookTop_ = model_.TopIndex();
    lookCount_ = model_.Items().Count();
    const int visible = VisibleCount();
    rowLooks_.resize(size_t(std::max(0, visible)));
    for (int r = 0; r < visible; ++r)
        rowLooks_[size_t(r)] = LookOf(lookTop_ + r);
}

void TZuPlaylist::RepaintChangedRows() {
    const bool widthChanged = SyncLayout();
    const int visible = VisibleCount();
    if (widthChanged || lookTop_ != model_.TopIndex() || lookCount_ != model_.Items().Count() ||
        size_t(std::max(0, visible)) != rowLooks_.size()) {
        update();
        return;
    }
    for (int r = 0; r < visible; ++r) {
        const int index = lookTop_ + r;
        if (LookOf(index) == rowLooks_[size_t(r)])
            continue;
        const TZuRect row = ItemRect(index);
        // A little more than the row: glyphs may reach into the rows around it.
        update(QRect(row.Left, row.Top, int(row.Width()), int(row.Height())).adjusted(0, -3, 0, 3));
    }
}

} // namespace tunola
