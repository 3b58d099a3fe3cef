#pragma once
// Keeps the anchored controls of one parent widget in place when the parent changes size:
// each control remembers its bounds and the parent's size at the time it was anchored (or
// last placed by someone else), and every new parent size places it anew from that reference
// (AnchoredBounds). Placing from the reference, never from the last result, keeps rounding
// from creeping in over many resizes.
//
// The keeper is a child object of the parent and dies with it. UI thread only.

#include "ZuAnchors.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

namespace tunola {

class TZuAnchorKeeper : public QObject {
    Q_OBJECT
public:
    // The keeper of `parent`, made on first use.
    static TZuAnchorKeeper& Of(QWidget& parent);
    // The keeper of `parent` if it has one.
    static TZuAnchorKeeper* Find(const QWidget& parent);

    // Anchors `control` (a child of this keeper's parent) with its present bounds as the
    // reference. Left and top alone is the default, which is never moved.
    void SetAnchors(QWidget& control, const TZuAnchors& anchors);
    TZuAnchors Anchors(const QWidget& control) const;

    // Places every anchored control for the parent's present size. Runs by itself on every
    // resize event of the parent; call it after resizing a hidden parent, whose resize events
    // wait until it is shown.
    void Relayout();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TZuAnchorKeeper(QWidget& parent);

    struct Entry {
        QPointer<QWidget> Control;
        TZuAnchors Anchors;
        QRect Reference;
        QSize ReferenceParent;
        QRect Placed; // where we put it last; anything else was someone else's doing
    };
    Entry* Lookup(const QWidget* control);
    void Place(Entry& entry, const QSize& parentSize);

    QWidget& parent_;
    std::vector<Entry> entries_;
    bool placing_ = false;
};

} // namespace tunola
