#include "ZuFormSnap.h"

namespace tunola {

namespace {

bool Within(int value, int v, int s) {
    return v - s <= value && value <= v + s;
}

// Closed intervals [a, a + alen] and [b, b + blen] have a point in common.
bool Meet(int a, int alen, int b, int blen) {
    return a <= b + blen && b <= a + alen;
}

// One axis of a proposal. A move shifts the whole span; a resize moves only the dragged ends
// and refuses a snap that would take the length out of its limits.
struct Span {
    int Pos;
    int Len;
    bool LowDragged;
    bool HighDragged;
    bool Moves;
    int MinLen;
    int MaxLen;

    int High() const { return Pos + Len; }

    bool SetLow(int v) {
        if (Moves) {
            Pos = v;
            return true;
        }
        const int len = High() - v;
        if (!LowDragged || len < MinLen || len > MaxLen)
            return false;
        Pos = v;
        Len = len;
        return true;
    }

    bool SetHigh(int v) {
        if (Moves) {
            Pos = v - Len;
            return true;
        }
        const int len = v - Pos;
        if (!HighDragged || len < MinLen || len > MaxLen)
            return false;
        Len = len;
        return true;
    }
};

} // namespace

bool Adjacent(const QRect& a, const QRect& b, int bTag) {
    if (bTag == kZuTagLoner)
        return false;
    const bool besides = a.x() - b.width() == b.x() || a.x() + a.width() == b.x();
    if (besides && Meet(a.y(), a.height(), b.y(), b.height()))
        return true;
    const bool aboveOrBelow = a.y() - b.height() == b.y() || a.y() + a.height() == b.y();
    return aboveOrBelow && Meet(a.x(), a.width(), b.x(), b.width());
}

std::vector<int> FormGroup(const QRect& leader, std::span<const TZuFormPlace> others) {
    std::vector<int> tags;
    tags.reserve(others.size());
    for (const TZuFormPlace& f : others)
        tags.push_back(f.Tag);
    // A second leader keeps its role: only free forms are collected.
    for (size_t i = 0; i < others.size(); ++i)
        if (tags[i] == kZuTagFree && Adjacent(leader, others[i].Bounds, tags[i]))
            tags[i] = kZuTagMember;
    // One pass: a form that joins here is examined itself only when it comes later.
    for (size_t i = 0; i < others.size(); ++i) {
        if (tags[i] != kZuTagMember)
            continue;
        for (size_t j = 0; j < others.size(); ++j) {
            if (j == i || tags[j] == kZuTagLeader || tags[j] == kZuTagMember)
                continue;
            if (Adjacent(others[i].Bounds, others[j].Bounds, tags[j]))
                tags[j] = kZuTagMember;
        }
    }
    return tags;
}

QRect SnapProposal(const TZuSnapInput& in, std::span<const TZuFormPlace> others) {
    const int s = in.SnapBuffer;
    const bool moves = in.Edges.Moves();
    Span h{in.Proposal.x(), in.Proposal.width(), in.Edges.Left,     in.Edges.Right,
           moves,           in.MinSize.width(),  in.MaxSize.width()};
    Span v{in.Proposal.y(), in.Proposal.height(), in.Edges.Top,       in.Edges.Bottom,
           moves,           in.MinSize.height(),  in.MaxSize.height()};

    // The work area's edges.
    const QRect& wa = in.WorkArea;
    if (!(Within(h.Pos, wa.x(), s) && h.SetLow(wa.x())) && Within(h.High(), wa.x() + wa.width(), s))
        h.SetHigh(wa.x() + wa.width());
    if (!(Within(v.Pos, wa.y(), s) && v.SetLow(wa.y())) &&
        Within(v.High(), wa.y() + wa.height(), s))
        v.SetHigh(wa.y() + wa.height());

    for (const TZuFormPlace& f : others) {
        // The leader carries its members; they are not in its way.
        if (in.Tag == kZuTagLeader && f.Tag == kZuTagMember)
            continue;
        const int fl = f.Bounds.x();
        const int ft = f.Bounds.y();
        const int fr = fl + f.Bounds.width();
        const int fb = ft + f.Bounds.height();
        // Docking beside the form.
        if (v.High() >= ft && fb >= v.Pos) {
            if (!(Within(h.High(), fl, s) && h.SetHigh(fl)) && Within(h.Pos, fr, s))
                h.SetLow(fr);
        }
        // Docking above or below it.
        if (h.High() >= fl && fr >= h.Pos) {
            if (!(Within(v.High(), ft, s) && v.SetHigh(ft)) && Within(v.Pos, fb, s))
                v.SetLow(fb);
        }
        // Lining up the sides across a dock above or below.
        if (ft == v.High() || fb == v.Pos) {
            if (!(Within(h.Pos, fl, s) && h.SetLow(fl)) && Within(h.High(), fr, s))
                h.SetHigh(fr);
        }
        // Lining up the tops or bottoms across a dock beside.
        if (fl == h.High() || fr == h.Pos) {
            if (!(Within(v.Pos, ft, s) && v.SetLow(ft)) && Within(v.High(), fb, s))
                v.SetHigh(fb);
        }
    }
    return {h.Pos, v.Pos, h.Len, v.Len};
}

} // namespace tunola
