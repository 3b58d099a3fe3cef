// Painting the playlist view: the part a paint needs is composed in an off-screen band of a few
// rows at a time, each band going to the screen clipped to its rows. The band is the thread's,
// shared with the windows' frames; a picture of the whole list is not kept (it would be the size
// of the window).

#include "ZuPlaylist.h"

#include "ZuBandPaint.h"
#include "ZuTimeFormat.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace tunola {

using namespace zuplaylist;

namespace {

// Pixels the drop image keeps of its own opacity.
constexpr uint8_t kDropImageOpacity = 192;
// Gap between the number and the row's left edge, and between the length and its right edge.
constexpr int kTextInset = 3;

QColor Pen(TColor32 color) {
    return QColor::fromRgba(color);
}

} // namespace

void TZuPlaylist::paintEvent(QPaintEvent* event) {
    SyncLayout();
    const TZuListGeometry g = Geometry();
    QPainter screen(this);
    if (barShown_) {
        // The strips above and below the bar when it has margins.
        const QRect bar = scrollBar_->geometry();
        const QColor back = Pen(backColor_);
        if (bar.top() > 0)
            screen.fillRect(QRect(bar.left(), 0, bar.width(), bar.top()), back);
        if (bar.bottom() + 1 < height())
            screen.fillRect(
                QRect(bar.left(), bar.bottom() + 1, bar.width(), height() - bar.bottom() - 1),
                back);
    }
    if (g.RowRight <= 0 || height() <= 0)
        return;
    const QRect dirty = event->rect() & QRect(0, 0, g.RowRight, height());
    TZuBitmapEx32& band = ThreadPaintBand();
    PaintThroughBand(band, kThreadBandPixels, screen, dirty,
                     [this, &band](const QRect& strip) { PaintRows(band, strip); });
}

void TZuPlaylist::PaintRows(TZuBitmapEx32& band, const QRect& dirty) {
    // The band's top-left pixel is `dirty`'s top-left corner; everything below is drawn in
    // the view's coordinates.
    const QPoint origin = dirty.topLeft();
    const TZuListGeometry g = Geometry();
    band.SetFont(font());
    band.FillRect({0, 0, dirty.width(), dirty.height()}, backColor_);

    const int count = g.Count;
    const int lastShown = std::min(g.TopIndex + g.VisibleCount(), count) - 1;
    const int first = std::max(g.TopIndex, g.TopIndex + dirty.top() / kItemHeight);
    const int last = std::min(lastShown, g.TopIndex + dirty.bottom() / kItemHeight);

    {
        QPainter p(band.Surface());
        p.translate(-origin);
        p.setClipRect(dirty);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        for (int i = first; i <= last; ++i)
            if (model_.Items().GetItem(i)->Selected()) {
                const TZuRect r = ItemRect(i);
                p.fillRect(QRect(r.Left, r.Top, int(r.Width()), int(r.Height())),
                           Pen(selectionColor_));
            }
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);

        p.setFont(font());
        const QFontMetrics fm = p.fontMetrics();
        const int numberWidth =
            showNumbers_ ? fm.horizontalAdvance(QString::number(count) + QStringLiteral(".  ")) : 0;
        const QString timeFormat = QString::fromStdString(timeFormat_);
        const int lengthWidth =
            showLength_ ? fm.horizontalAdvance(QLatin1Char('M') + timeFormat) : 0;
        const int baselineOffset = (kItemHeight - fm.height()) / 2 + fm.ascent();

        // The neighbours too: their glyphs may reach into the rows being repainted.
        const int textFirst = std::max(g.TopIndex, first - 1);
        const int textLast = std::min(lastShown, last + 1);
        for (int i = textFirst; i <= textLast; ++i) {
            const TZuPlaylistItem& entry = *model_.Items().GetItem(i);
            TZuRect r = ItemRect(i);
            TColor32 color = entry.Selected() ? textSelectedColor_ : textColor_;
            if (i == model_.CurrentItem() && !model_.CurrentLost())
                color = textCurrentColor_;
            if (model_.Failure(entry))
                color = textFailedColor_;
            p.setPen(Pen(color));
            const int baseline = r.Top + baselineOffset;

            if (showNumbers_) {
                p.drawText(r.Left + kTextInset, baseline,
                           QString::number(i + 1) + QLatin1Char('.'));
                r.Left += numberWidth;
            }
            if (showNumbers_ || showLength_)
                r.Right -= lengthWidth + kTextInset;
            const QString caption = fm.elidedText(QString::fromStdString(entry.Caption()),
                                                  Qt::ElideRight, std::max(0, int(r.Width())));
            p.drawText(r.Left, baseline, caption);
            if (showLength_) {
                const QString length =
                    QString::fromStdString(FormatTimeOfDay(timeFormat_, entry.LongTime()));
                p.drawText(r.Right + lengthWidth - fm.horizontalAdvance(length), baseline, length);
            }
        }

        if (dragging_ && model_.DropY() >= 0 && dropImage_.Empty())
            p.fillRect(QRect(0, model_.DropY(), g.RowRight, 1), Pen(textColor_));
    }

    if (dragging_ && model_.DropY() >= 0 && !dropImage_.Empty()) {
        const int top = DropImageTop(model_.DropY(), dropImage_.Height());
        dropImage_.StretchDraw(band,
                               ZuBounds(-origin.x(), top - origin.y(), g.RowRight,
                                        dropImage_.Height()),
                               dropImage_.BoundsRect(), kDropImageOpacity);
    }
}

QRect TZuPlaylist::DropMarkRect(int dropY) const {
    if (dropY < 0)
        return {};
    const int right = barShown_ ? scrollBar_->x() : width();
    if (dropImage_.Empty())
        return QRect(0, dropY, right, 1);
    return QRect(0, DropImageTop(dropY, dropImage_.Height()), right, dropImage_.Height());
}

} // namespace tunola
