#include "ZuAnchorKeeper.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>

namespace tunola {

TZuAnchorKeeper::TZuAnchorKeeper(QWidget& parent) : QObject(&parent), parent_(parent) {
    parent.installEventFilter(this);
}

TZuAnchorKeeper& TZuAnchorKeeper::Of(QWidget& parent) {
    if (TZuAnchorKeeper* keeper = Find(parent))
        return *keeper;
    return *new TZuAnchorKeeper(parent);
}

TZuAnchorKeeper* TZuAnchorKeeper::Find(const QWidget& parent) {
    return parent.findChild<TZuAnchorKeeper*>(QString(), Qt::FindDirectChildrenOnly);
}

TZuAnchorKeeper::Entry* TZuAnchorKeeper::Lookup(const QWidget* control) {
    for (Entry& entry : entries_)
        if (entry.Control == control)
            return &entry;
    return nullptr;
}

void TZuAnchorKeeper::SetAnchors(QWidget& control, const TZuAnchors& anchors) {
    Entry* entry = Lookup(&control);
    if (anchors == kAnchorsLeftTop) {
        if (entry) {
            control.removeEventFilter(this);
            entries_.erase(entries_.begin() + (entry - entries_.data()));
        }
        return;
    }
    if (!entry) {
        control.installEventFilter(this);
        entry = &entries_.emplace_back();
        entry->Control = &control;
    }
    entry->Anchors = anchors;
    entry->Reference = entry->Placed = control.geometry();
    entry->ReferenceParent = parent_.size();
}

TZuAnchors TZuAnchorKeeper::Anchors(const QWidget& control) const {
    for (const Entry& entry : entries_)
        if (entry.Control == &control)
            return entry.Anchors;
    return kAnchorsLeftTop;
}

void TZuAnchorKeeper::Place(Entry& entry, const QSize& parentSize) {
    const QRect bounds =
        AnchoredBounds(entry.Anchors, entry.Reference, entry.ReferenceParent, parentSize);
    entry.Placed = bounds;
    QWidget* control = entry.Control;
    if (control->geometry() == bounds)
        return;
    placing_ = true;
    control->setGeometry(bounds);
    placing_ = false;
    // A hidden control gets its resize event only when shown; its own anchored children
    // follow now.
    if (TZuAnchorKeeper* inner = Find(*control))
        inner->Relayout();
}

void TZuAnchorKeeper::Relayout() {
    std::erase_if(entries_, [](const Entry& entry) { return entry.Control.isNull(); });
    const QSize size = parent_.size();
    // Placing a control may run other code; walk by index in case the list changes.
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].Control)
            Place(entries_[i], size);
}

bool TZuAnchorKeeper::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::Resize && type != QEvent::Move)
        return false;
    if (watched == &parent_) {
        if (type == QEvent::Resize)
            Relayout();
        return false;
    }
    // A control moved or sized by someone else takes its new place as its reference.
    Entry* entry = placing_ ? nullptr : Lookup(static_cast<QWidget*>(watched));
    if (entry && entry->Control->geometry() != entry->Placed) {
        entry->Reference = entry->Placed = entry->Control->geometry();
        entry->ReferenceParent = parent_.size();
    }
    return false;
}

} // namespace tunola
