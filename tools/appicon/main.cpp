// tunola_appicon: draws the player's application icon at the sizes of the hicolor icon theme.
//
//   tunola_appicon OUTPUT_DIR
//
// writes OUTPUT_DIR/hicolor/<N>x<N>/apps/org.tunola.Tunola.png for each size and
// OUTPUT_DIR/tunola.png (64 pixels, the windows' own icon: window managers and trays show it
// at 16-48 pixels, and a 256-pixel one would keep 256 KiB decoded in every player). The icon is
// a rounded tile in the skins' blue with the note of the skins' icon set; small sizes get a
// thicker note so that it still reads at 16 pixels.

#include "ArtKit.h"
#include "Icons.h"

#include <QDir>
#include <QGuiApplication>
#include <QLinearGradient>

#include <cstdio>
#include <exception>

namespace {

QImage DrawIcon(int size) {
    QImage canvas = newCanvas(size, size);
    QPainter p;
    beginArt(p, canvas);
    const qreal s = size;
    const qreal margin = size <= 24 ? 0.5 : s * 0.06;
    const QRectF tile(margin, margin, s - 2 * margin, s - 2 * margin);
    const qreal radius = tile.width() * 0.22;

    QLinearGradient fill(tile.topLeft(), tile.bottomLeft());
    fill.setColorAt(0.0, QColor(0x4f, 0xa8, 0xe8));
    fill.setColorAt(1.0, QColor(0x1d, 0x4f, 0x9a));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(tile, radius, radius);

    // A soft light across the upper half.
    if (size >= 32) {
        QLinearGradient gloss(tile.topLeft(), QPointF(tile.left(), tile.center().y()));
        gloss.setColorAt(0.0, withAlpha(Qt::white, 70));
        gloss.setColorAt(1.0, withAlpha(Qt::white, 0));
        p.setBrush(gloss);
        p.drawRoundedRect(tile, radius, radius);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(QColor(0x0e, 0x2c, 0x5c), 160), std::max(1.0, s / 96)));
    p.drawRoundedRect(tile.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);

    const qreal weight = size <= 24 ? 1.6 : size <= 48 ? 1.25 : 1.0;
    const qreal inset = tile.width() * 0.16;
    fillIcon(p, iconPath(Icon::Note, weight), tile.adjusted(inset, inset, -inset, -inset),
             QColor(0xff, 0xff, 0xff));
    p.end();
    return canvas;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tunola_appicon OUTPUT_DIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    try {
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
            const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(out).arg(size);
            QDir().mkpath(dir);
            savePng(DrawIcon(size), dir + QStringLiteral("/org.tunola.Tunola.png"));
        }
        savePng(DrawIcon(64), out + QStringLiteral("/tunola.png"));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tunola_appicon: %s\n", e.what());
        return 1;
    }
    return 0;
}
