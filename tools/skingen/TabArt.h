#pragma once
// The library window's tab strip picture: three bands of equal height, the inactive tab, the
// active tab and a plain band. The player stretches each tab band into a tab and the whole
// picture under the strip, over a fill of its own that no skin can set, so every pixel is
// opaque and mixed with the backdrop colour beforehand.

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <functional>

using TabPainter = std::function<void(QPainter& p, const QRectF& band, bool active)>;

QImage renderTabImage(QSize tab, const QColor& backdrop, const TabPainter& paint);
