#pragma once
// Button pictures as the player reads them: every state is a picture of the button's own size
// somewhere in one image, found by its top-left corner. Our sheets put the plain states in the
// first row (normal, highlighted, pressed) and, for two-state buttons, the checked states in
// the second row in the same order.

#include <QImage>
#include <QPoint>
#include <QRectF>
#include <QSize>
#include <functional>

enum class ButtonState { Normal, Hover, Pressed };

using ButtonPainter =
    std::function<void(QPainter& p, const QRectF& box, ButtonState state, bool checked)>;

struct ButtonSheet {
    QImage image;
    QSize size;
    QPoint normal, hover, pressed;
    bool checkable = false;
    QPoint checked, checkedHover, checkedPressed;
};

ButtonSheet renderButtonSheet(QSize size, bool checkable, const ButtonPainter& paint);
