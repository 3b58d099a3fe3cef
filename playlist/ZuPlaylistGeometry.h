#pragma once
// Where the playlist view's rows are, as plain arithmetic over the view's state. The widget
// only calls these. Rows are ItemHeight pixels high from the top of the view and TopIndex is
// the first row shown; a row partly cut off at the bottom is drawn but not counted as visible.

#include <ZuRect.h>

#include <QPoint>

namespace tunola::zuplaylist {

struct TZuListGeometry {
    int TopIndex = 0;
    int Count = 0;
    int ItemHeight = 14;
    int Height = 0;   // of the view
    int RowRight = 0; // right edge of the rows: the scroll bar's left while it shows, else the
                      // view's width

    // Whole rows that fit.
    int VisibleCount() const { return ItemHeight > 0 ? Height / ItemHeight : 0; }
};

// The rectangle of row `index` across the rows' width, for rows from the one just above the
// view down to the last that starts inside it; an empty rectangle at (0, 0) for any other.
TZuRect ItemRect(const TZuListGeometry& g, int index);

// The entry under `p` among the whole visible rows, −1 above the view, below the last entry
// or on the partly shown row at the bottom.
int ItemAtPoint(const TZuListGeometry& g, QPoint p);

// The index a drop at `p` inserts before: the row under it, or Count below the last entry;
// −1 above the view.
int DropIndexAt(const TZuListGeometry& g, QPoint p);

// How far the list scrolls: the entries that do not fit, 0 when all do.
int ScrollMaxFor(int count, int visibleCount);

// Whether the scroll bar shows: with auto-hide only while the rows are taller than the view.
bool ScrollBarShown(bool autoHide, int viewHeight, int count, int itemHeight);

struct TZuBarPlace {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TZuBarPlace&, const TZuBarPlace&) = default;
};

// The scroll bar at the view's right edge, between its top and bottom margins.
TZuBarPlace ScrollBarPlace(int viewWidth, int viewHeight, int barWidth, int topMargin,
                           int bottomMargin);

// Where the drop image goes: centred on the drop line, never above the view.
int DropImageTop(int dropY, int imageHeight);

} // namespace tunola::zuplaylist
