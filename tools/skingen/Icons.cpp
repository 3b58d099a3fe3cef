#include "Icons.h"

#include <QPainterPathStroker>
#include <QPolygonF>
#include <QTransform>
#include <cmath>

namespace {

QPainterPath stroked(const QPainterPath& line, qreal width) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(line).simplified();
}

QPainterPath segment(qreal x1, qreal y1, qreal x2, qreal y2) {
    QPainterPath path;
    path.moveTo(x1, y1);
    path.lineTo(x2, y2);
    return path;
}

// A triangle with softly rounded corners: the polygon grown by a round-joined stroke.
QPainterPath softTriangle(QPointF a, QPointF b, QPointF c, qreal rounding) {
    QPainterPath tri;
    tri.addPolygon(QPolygonF{a, b, c, a});
    tri.closeSubpath();
    QPainterPathStroker stroker;
    stroker.setWidth(rounding);
    stroker.setJoinStyle(Qt::RoundJoin);
    return tri.united(stroker.createStroke(tri)).simplified();
}

QPainterPath speaker() {
    QPainterPath body;
    body.addRoundedRect(QRectF(3.5, 9, 4.5, 6), 1, 1);
    QPainterPath cone;
    cone.addPolygon(QPolygonF{{7, 9.2}, {12.5, 4.8}, {12.5, 19.2}, {7, 14.8}, {7, 9.2}});
    return body.united(softTriangle({7, 9.2}, {12.5, 4.8}, {12.5, 19.2}, 1.2))
        .united(cone)
        .united(softTriangle({7, 14.8}, {12.5, 19.2}, {7, 9.2}, 1.2))
        .simplified();
}

QPainterPath arc(QPointF centre, qreal radius, qreal fromDeg, qreal spanDeg) {
    QPainterPath path;
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    path.arcMoveTo(box, fromDeg);
    path.arcTo(box, fromDeg, spanDeg);
    return path;
}

} // namespace

QPainterPath iconPath(Icon icon, qreal weight) {
    const qreal w = 2.0 * weight;
    QPainterPath path;
    switch (icon) {
    case Icon::Play:
        return softTriangle({8.5, 5.5}, {8.5, 18.5}, {19, 12}, 2.2);
    case Icon::Pause:
        path.addRoundedRect(QRectF(6, 5, 4, 14), 1, 1);
        path.addRoundedRect(QRectF(14, 5, 4, 14), 1, 1);
        return path;
    case Icon::Previous:
        path.addRoundedRect(QRectF(5, 6, 3, 12), 0.8, 0.8);
        return path.united(softTriangle({18.5, 6.8}, {18.5, 17.2}, {10, 12}, 1.6));
    case Icon::Next:
        path.addRoundedRect(QRectF(16, 6, 3, 12), 0.8, 0.8);
        return path.united(softTriangle({5.5, 6.8}, {5.5, 17.2}, {14, 12}, 1.6));
    case Icon::Volume:
        return speaker()
            .united(stroked(arc({13, 12}, 3.6, -50, 100), 1.7 * weight))
            .united(stroked(arc({13, 12}, 7.0, -52, 104), 1.7 * weight));
    case Icon::Mute:
        return speaker()
            .united(stroked(segment(15.5, 9, 21, 15), w * 0.85))
            .united(stroked(segment(21, 9, 15.5, 15), w * 0.85));
    case Icon::List:
        for (qreal y : {6.5, 12.0, 17.5}) {
            path.addEllipse(QPointF(5, y), 1.5, 1.5);
            path = path.united(stroked(segment(9, y, 20, y), w * 0.9));
        }
        return path;
    case Icon::Library: {
        // Two beamed notes: the player's music library.
        QPainterPath notes;
        notes.addEllipse(QPointF(7.2, 17.2), 3.0, 2.4);
        notes.addEllipse(QPointF(16.7, 15.2), 3.0, 2.4);
        notes = notes.united(stroked(segment(9.8, 17, 9.8, 6.2), w * 0.8));
        notes = notes.united(stroked(segment(19.3, 15, 19.3, 4.2), w * 0.8));
        QPainterPath beam;
        beam.addPolygon(QPolygonF{{9, 5.2}, {20.1, 3.0}, {20.1, 6.4}, {9, 8.6}, {9, 5.2}});
        return notes.united(beam).simplified();
    }
    case Icon::Menu:
        for (qreal y : {7.0, 12.0, 17.0})
            path = path.united(stroked(segment(5.5, y, 18.5, y), w * 0.85));
        return path;
    case Icon::Minimize:
        return stroked(segment(6.5, 12.5, 17.5, 12.5), w * 0.8);
    case Icon::Maximize: {
        QPainterPath square;
        square.addRoundedRect(QRectF(6.5, 6.5, 11, 11), 1.5, 1.5);
        QPainterPathStroker stroker;
        stroker.setWidth(w * 0.75);
        stroker.setJoinStyle(Qt::RoundJoin);
        return stroker.createStroke(square).simplified();
    }
    case Icon::Close:
        return stroked(segment(7, 7, 17, 17), w * 0.8)
            .united(stroked(segment(17, 7, 7, 17), w * 0.8));
    case Icon::Back: {
        QPainterPath chevron;
        chevron.moveTo(14.5, 5.5);
        chevron.lineTo(8, 12);
        chevron.lineTo(14.5, 18.5);
        return stroked(chevron, w);
    }
    case Icon::Forward: {
        QPainterPath chevron;
        chevron.moveTo(9.5, 5.5);
        chevron.lineTo(16, 12);
        chevron.lineTo(9.5, 18.5);
        return stroked(chevron, w);
    }
    case Icon::Refresh: {
        QPainterPath ring = stroked(arc({12, 12}, 6.5, 70, 290), w * 0.9);
        // Arrow head at the start of the arc (the top), pointing along the turn.
        const qreal a = 70.0 * M_PI / 180.0;
        const QPointF tip(12 + 6.5 * std::cos(a), 12 - 6.5 * std::sin(a));
        QPainterPath head;
        head.addPolygon(QPolygonF{tip + QPointF(-4.2, -2.6), tip + QPointF(1.4, 0.2),
                                  tip + QPointF(-3.0, 3.6), tip + QPointF(-4.2, -2.6)});
        return ring.united(head).simplified();
    }
    case Icon::DesktopLyrics: {
        // A screen with two lines of text on it: lyrics floating on the desktop.
        QPainterPath screen;
        screen.addRoundedRect(QRectF(3.5, 4.5, 17, 12), 2, 2);
        QPainterPathStroker stroker;
        stroker.setWidth(w * 0.75);
        stroker.setJoinStyle(Qt::RoundJoin);
        QPainterPath out = stroker.createStroke(screen);
        out = out.united(stroked(segment(7.5, 9, 16.5, 9), w * 0.7));
        out = out.united(stroked(segment(9.5, 12.5, 14.5, 12.5), w * 0.7));
        out = out.united(stroked(segment(8.5, 20, 15.5, 20), w * 0.75));
        return out.simplified();
    }
    case Icon::Note: {
        QPainterPath note;
        note.addEllipse(QPointF(9, 17), 3.6, 2.9);
        note = note.united(stroked(segment(12.1, 16.5, 12.1, 4.5), w * 0.85));
        QPainterPath flag;
        flag.moveTo(12.1, 4.5);
        flag.cubicTo(13, 7.5, 18.5, 8, 17.5, 12.5);
        return note.united(stroked(flag, w * 0.85)).simplified();
    }
    }
    return path;
}

QPainterPath smallIconPath(Icon icon) {
    QPainterPath path;
    auto bar = [&path](qreal x, qreal y, qreal w, qreal h) {
        path.addRoundedRect(QRectF(x, y, w, h), 0.6, 0.6);
    };
    switch (icon) {
    case Icon::Menu:
        bar(2, 3, 12, 2);
        bar(2, 7, 12, 2);
        bar(2, 11, 12, 2);
        return path.simplified();
    case Icon::Minimize:
        bar(3, 8, 10, 2);
        return path;
    case Icon::Maximize: {
        // A window: one-pixel sides under a two-pixel title edge.
        QPainterPath outer, inner;
        outer.addRect(QRectF(3, 3, 10, 10));
        inner.addRect(QRectF(4, 5, 8, 7));
        return outer.subtracted(inner);
    }
    case Icon::Close:
        return stroked(segment(4, 4, 12, 12), 1.6).united(stroked(segment(12, 4, 4, 12), 1.6));
    case Icon::Back: {
        QPainterPath chevron;
        chevron.moveTo(10, 3.5);
        chevron.lineTo(5.5, 8);
        chevron.lineTo(10, 12.5);
        return stroked(chevron, 1.7);
    }
    case Icon::Forward: {
        QPainterPath chevron;
        chevron.moveTo(6, 3.5);
        chevron.lineTo(10.5, 8);
        chevron.lineTo(6, 12.5);
        return stroked(chevron, 1.7);
    }
    case Icon::Refresh: {
        QPainterPath ring = stroked(arc({8, 8.5}, 4.6, 80, 280), 1.5);
        QPainterPath head;
        head.addPolygon(QPolygonF{{5.6, 1.6}, {10.2, 3.9}, {6.0, 6.4}, {5.6, 1.6}});
        return ring.united(head).simplified();
    }
    case Icon::DesktopLyrics: {
        QPainterPath outer, inner;
        outer.addRect(QRectF(1, 2, 14, 10));
        inner.addRect(QRectF(2, 3, 12, 8));
        path = outer.subtracted(inner);
        bar(4, 5, 8, 1);
        bar(5, 8, 6, 1);
        bar(5, 13, 6, 1);
        return path.simplified();
    }
    case Icon::List:
        for (int y : {3, 7, 11}) {
            path.addRect(QRectF(2, y, 2, 2));
            bar(6, y, 8, 2);
        }
        return path.simplified();
    case Icon::Library: {
        QPainterPath notes;
        notes.addEllipse(QPointF(4.2, 12), 2.3, 1.8);
        notes.addEllipse(QPointF(11.2, 10.6), 2.3, 1.8);
        notes.addRect(QRectF(5.5, 3.6, 1, 8.4));
        notes.addRect(QRectF(12.5, 2.2, 1, 8.4));
        QPainterPath beam;
        beam.addPolygon(QPolygonF{{5.5, 3.2}, {13.5, 1.6}, {13.5, 4}, {5.5, 5.6}, {5.5, 3.2}});
        return notes.united(beam).simplified();
    }
    case Icon::Previous:
        path.addRect(QRectF(3, 3, 2, 10));
        return path.united(softTriangle({12.6, 3.6}, {12.6, 12.4}, {6, 8}, 1.2));
    case Icon::Next:
        path.addRect(QRectF(11, 3, 2, 10));
        return path.united(softTriangle({3.4, 3.6}, {3.4, 12.4}, {10, 8}, 1.2));
    default:
        break;
    }
    // The rest have no small drawing of their own: the large one, scaled.
    QTransform scale;
    scale.scale(16.0 / 24.0, 16.0 / 24.0);
    return scale.map(iconPath(icon));
}
