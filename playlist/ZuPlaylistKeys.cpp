// The playlist view's keys: Enter plays the anchor row, Page Up/Down, Home, End, Up and Down
// move the selection (Shift extends it) and keep it in view; Ctrl+A selects every row, Delete
// asks the owner to remove the selection. On an empty list the moving keys do nothing.

#include "ZuPlaylist.h"

#include <QKeyEvent>

#include <algorithm>

namespace tunola {

void TZuPlaylist::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && (dragStarted_ || dragPending_)) {
        // Dropped nowhere: the rows stay where they were.
        EndDrag(QPoint(-1, -1), false);
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier && OnDeleteKey) {
        OnDeleteKey(*this);
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
        update();
        event->accept();
        return;
    }
    RememberRows();
    if (!HandleKey(event->key(), event->modifiers().testFlag(Qt::ShiftModifier))) {
        TZuCustomControl::keyPressEvent(event);
        return;
    }
    RepaintChangedRows();
    event->accept();
}

bool TZuPlaylist::HandleKey(int key, bool shift) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Up:
    case Qt::Key_Down:
        break;
    default:
        return false;
    }
    TZuPlaylistItems& items = model_.Items();
    const int count = items.Count();
    if (count == 0)
        return true;
    const int top = model_.TopIndex();
    const int visible = VisibleCount();
    const int selected = model_.SelectedIndex();
    auto select = [this, &items](int index) {
        model_.SetSelectedIndex(index);
        if (TZuPlaylistItem* entry = items.GetItem(index))
            entry->SetSelected(true);
    };

    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selected >= 0) {
            model_.SetCurrentItem(selected);
            if (OnItemEnterKey)
                OnItemEnterKey(*this);
        }
        break;
    case Qt::Key_PageUp: {
        const int a = std::max(0, top - visible);
        model_.ClearSelection();
        model_.SetTopIndex(a);
        select(a);
        break;
    }
    case Qt::Key_PageDown: {
        const int t = std::min(top + visible, count - 1);
        model_.ClearSelection();
        model_.SetTopIndex(count <= visible ? 0 : std::min(t, count - visible));
        select(t);
        break;
    }
    case Qt::Key_Home:
        model_.ClearSelection();
        if (shift)
            model_.SelectRange(selected, 0);
        else
            items.GetItem(0)->SetSelected(true);
        model_.SetSelectedIndex(0);
        model_.SetTopIndex(0);
        break;
    case Qt::Key_End:
        model_.ClearSelection();
        // Without an anchor the range starts at the first entry.
        if (shift)
            model_.SelectRange(std::max(selected, 0), count - 1);
        else
            items.GetItem(count - 1)->SetSelected(true);
        model_.SetSelectedIndex(count - 1);
        model_.SetTopIndex(std::max(0, count - visible));
        break;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        // An anchor scrolled out of sight comes back as the first row shown.
        if (selected > top + visible || selected < top) {
            if (!shift)
                model_.ClearSelection();
            select(top);
            break;
        }
        if (key == Qt::Key_Up) {
            if (selected > 0 && selected < count) {
                if (selected == top)
                    model_.SetTopIndex(top - 1);
                if (!shift)
                    model_.ClearSelection();
                select(selected - 1);
            }
        } else if (selected >= 0 && selected < count - 1) {
            if (!shift)
                model_.ClearSelection();
            select(selected + 1);
            // Scrolled so that the new row is the last whole row shown.
            if (selected + 1 - top > visible - 1)
                model_.SetTopIndex(selected + 1 - visible + 1);
        }
        break;
    }
    }
    return true;
}

} // namespace tunola
