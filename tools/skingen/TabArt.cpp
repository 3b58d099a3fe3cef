#include "TabArt.h"

#include "ArtKit.h"

QImage renderTabImage(QSize tab, const QColor& backdrop, const TabPainter& paint) {
    QImage image = newCanvas(tab.width(), 3 * tab.height());
    {
        QPainter p;
        beginArt(p, image);
        for (int band = 0; band < 2; ++band) {
            const QRect cell(0, band * tab.height(), tab.width(), tab.height());
            p.save();
            p.setClipRect(cell);
            paint(p, QRectF(cell), band == 1);
            p.restore();
        }
    }
    return flattenOnto(image, backdrop);
}
