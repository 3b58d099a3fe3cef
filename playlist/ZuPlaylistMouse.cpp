// The playlist view under the mouse: selecting, double-clicking, the wheel, dragging rows to
// move them, and files dropped from outside.
//
// A drag of rows goes: a press on a row (or a move with the button held over a selection)
// makes it pending; 4 pixels of movement start it (the auto-scroll timer exists from then on);
// once the mouse is over the view a line marks where the rows would land; the release moves
// them there, or, outside the view, leaves the list as it was. The mouse stays with the view
// from press to release, so the drag needs no help from the platform.

#include "ZuPlaylist.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QHelpEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>

#include <cstdlib>

namespace tunola {

namespace {

// The local files and folders a drag from outside carries.
QStringList LocalPaths(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths.push_back(url.toLocalFile());
    return paths;
}

} // namespace

void TZuPlaylist::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    if (button == Qt::LeftButton) {
        leftDown_ = true;
        collapseRow_ = -1;
        RememberRows();
        const int k = ItemAtPoint(QPoint(x, y));
        TZuPlaylistItem* entry = model_.Items().GetItem(k);
        if (shift.testFlag(Qt::ShiftModifier)) {
            model_.ClearSelection();
            if (entry && model_.SelectedIndex() >= 0)
                model_.SelectRange(model_.SelectedIndex(), k);
        } else if (shift.testFlag(Qt::ControlModifier)) {
            if (entry) {
                model_.SetSelectedIndex(k);
                entry->SetSelected(!entry->Selected());
            }
        } else if (!entry) {
            model_.ClearSelection();
            model_.SetSelectedIndex(-1);
        } else if (entry->Selected()) {
            // The selection stays, so that a group of rows can be dragged; a release without
            // a drag then leaves only this row selected.
            model_.SetSelectedIndex(k);
            collapseRow_ = k;
        } else {
            model_.ClearSelection();
            entry->SetSelected(true);
            model_.SetSelectedIndex(k);
            BeginDragPending(QPoint(x, y));
        }
        dragOrigin_ = QPoint(x, y);
        RepaintChangedRows();
        setFocus(Qt::MouseFocusReason);
    }
    TZuCustomControl::MouseDown(button, shift, x, y);
}

void TZuPlaylist::MouseMove(Qt::KeyboardModifiers shift, int x, int y) {
    const QPoint p(x, y);
    if (leftDown_) {
        if (dragStarted_) {
            if (rect().contains(p))
                DragOver(p);
        } else {
            if (!dragPending_ && !dblClicking_ && !dragging_ && model_.SelectedIndex() >= 0)
                BeginDragPending(dragOrigin_);
            if (dragPending_ && (std::abs(p.x() - dragOrigin_.x()) >= kDragThreshold ||
                                 std::abs(p.y() - dragOrigin_.y()) >= kDragThreshold)) {
                StartDrag();
                if (rect().contains(p))
                    DragOver(p);
            }
        }
    }
    TZuCustomControl::MouseMove(shift, x, y);
}

void TZuPlaylist::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    dblClicking_ = false;
    if (button == Qt::LeftButton) {
        leftDown_ = false;
        const bool dragged = dragStarted_ || dragging_;
        if (dragPending_ || dragStarted_)
            EndDrag(QPoint(x, y), rect().contains(x, y));
        if (collapseRow_ >= 0 && !dragged) {
            RememberRows();
            model_.ClearSelection();
            if (TZuPlaylistItem* entry = model_.Items().GetItem(collapseRow_)) {
                entry->SetSelected(true);
                model_.SetSelectedIndex(collapseRow_);
            }
            RepaintChangedRows();
        }
        collapseRow_ = -1;
    }
    TZuCustomControl::MouseUp(button, shift, x, y);
}

bool TZuPlaylist::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // A row marked as failed tells why; other rows have no tooltip.
        auto* help = static_cast<QHelpEvent*>(event);
        const TZuPlaylistItem* entry = model_.Items().GetItem(ItemAtPoint(help->pos()));
        const std::string* reason = entry ? model_.Failure(*entry) : nullptr;
        if (reason)
            QToolTip::showText(help->globalPos(), QString::fromStdString(*reason), this);
        else
            QToolTip::hideText();
        return true;
    }
    return TZuCustomControl::event(event);
}

void TZuPlaylist::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dblClicking_ = true;
        const int row = ItemAtPoint(event->position().toPoint());
        if (model_.Items().Count() > 0 && row >= 0) {
            model_.SetCurrentItemInPlace(row);
            if (OnItemDblClick)
                OnItemDblClick(*this);
        }
        if (OnDblClick)
            OnDblClick(*this);
    }
    // The second press of a double click is still a press.
    TZuCustomControl::mouseDoubleClickEvent(event);
}

void TZuPlaylist::wheelEvent(QWheelEvent* event) {
    // Fine-grained wheels send parts of a notch; the list moves by whole notches.
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / 120;
    wheelRemainder_ -= notches * 120;
    if (notches != 0) {
        SyncLayout();
        scrollBar_->SetPosition(scrollBar_->Position() -
                                notches * QApplication::wheelScrollLines());
    }
    event->accept();
}

void TZuPlaylist::hideEvent(QHideEvent* event) {
    // A view hidden under a held button never sees the release: the drag ends here, dropped
    // nowhere, and its timer stops.
    leftDown_ = false;
    if (dragPending_ || dragStarted_)
        EndDrag(QPoint(-1, -1), false);
    else if (dragging_)
        FinishDragSession();
    TZuCustomControl::hideEvent(event);
}

void TZuPlaylist::BeginDragPending(QPoint origin) {
    dragPending_ = true;
    dragOrigin_ = origin;
}

void TZuPlaylist::StartDrag() {
    dragPending_ = false;
    dragStarted_ = true;
    scrollTimer_ = std::make_unique<QTimer>();
    scrollTimer_->setInterval(kScrollInterval);
    QObject::connect(scrollTimer_.get(), &QTimer::timeout, this, [this] { ScrollTimerTimer(); });
    setCursor(dragCursor_);
}

void TZuPlaylist::DragOver(QPoint p) {
    dragging_ = true;
    const int d = DropIndexAt(p);
    if (d < 0)
        return;
    if (scrollTimer_ && !scrollTimer_->isActive())
        scrollTimer_->start();
    SetDropY(ItemRect(d).Top);
}

void TZuPlaylist::SetDropY(int dropY) {
    const int old = model_.DropY();
    if (old == dropY)
        return;
    model_.SetDropY(dropY);
    update(DropMarkRect(old));
    update(DropMarkRect(dropY));
}

void TZuPlaylist::ScrollTimerTimer() {
    SyncLayout();
    if (scrollBar_->Max() <= 0)
        return;
    const int dropY = model_.DropY();
    if (dropY >= height() - kItemHeight)
        scrollBar_->SetPosition(scrollBar_->Position() + 1);
    else if (dropY <= 0)
        scrollBar_->SetPosition(scrollBar_->Position() - 1);
}

void TZuPlaylist::EndDrag(QPoint p, bool onView) {
    const bool moved = dragging_ && onView;
    dragPending_ = false;
    if (dragStarted_) {
        dragStarted_ = false;
        unsetCursor();
    }
    scrollTimer_.reset();
    RememberRows();
    if (moved)
        model_.MoveSelectedTo(DropIndexAt(p));
    if (dragging_)
        FinishDragSession();
    else
        ClearSelectionButAnchor();
    RepaintChangedRows();
    if (moved && OnItemsMoved)
        OnItemsMoved(*this);
}

void TZuPlaylist::FinishDragSession() {
    scrollTimer_.reset();
    update(DropMarkRect(model_.DropY()));
    dragging_ = false;
    model_.SetDropY(-1);
}

void TZuPlaylist::ClearSelectionButAnchor() {
    model_.ClearSelection();
    if (TZuPlaylistItem* anchor = model_.Items().GetItem(model_.SelectedIndex()))
        anchor->SetSelected(true);
}

void TZuPlaylist::dragEnterEvent(QDragEnterEvent* event) {
    if (!OnFilesDropped || dragStarted_ || LocalPaths(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    scrollTimer_ = std::make_unique<QTimer>();
    scrollTimer_->setInterval(kScrollInterval);
    QObject::connect(scrollTimer_.get(), &QTimer::timeout, this, [this] { ScrollTimerTimer(); });
    DragOver(event->position().toPoint());
}

void TZuPlaylist::dragMoveEvent(QDragMoveEvent* event) {
    if (!dragging_) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    DragOver(event->position().toPoint());
}

void TZuPlaylist::dragLeaveEvent(QDragLeaveEvent* event) {
    if (dragging_ && !dragStarted_)
        FinishDragSession();
    event->accept();
}

void TZuPlaylist::dropEvent(QDropEvent* event) {
    if (!dragging_ || dragStarted_) {
        event->ignore();
        return;
    }
    const int d = DropIndexAt(event->position().toPoint());
    const QStringList paths = LocalPaths(event->mimeData());
    FinishDragSession();
    event->acceptProposedAction();
    if (OnFilesDropped && !paths.isEmpty())
        OnFilesDropped(*this, paths, d < 0 ? model_.Items().Count() : d);
}

} // namespace tunola
