// TIGUIListControl: the three looks of the list box's frame, rows and scroll bar.

#include "ZuListControl.h"

#include "ZuFlatLook.h"

#include <QFontMetrics>
#include <QPainter>

namespace tunola {

namespace {

// lcgFlat
constexpr TColor32 kFlatSelectedFill = 0xFFC1D2EE;
constexpr TColor32 kFlatActiveFill = 0xFFF7DE9C;
constexpr TColor32 kFlatActiveOutline = 0xFFA09683;
// lcgLowered
constexpr TColor32 kLoweredFrame = 0xFF1F1F1F;
constexpr TColor32 kLoweredMarkedFill = 0xFF323232;
constexpr TColor32 kLoweredFill = 0xFF404040;
constexpr TColor32 kLoweredLight = 0xFF4F4F4F;
constexpr TColor32 kLoweredDark = 0xFF1F1F1F;
constexpr TColor32 kLoweredFocusedText = 0xFFFFC800;
constexpr TColor32 kLoweredActiveText = 0xFFFF9D3C;
constexpr TColor32 kLoweredText = 0xFFC4BBB5;

void Bevel(TZuBitmap32& cav, const TZuRect& r, TColor32 topLeft, TColor32 bottomRight) {
    if (r.IsEmpty())
        return;
    cav.HorzLine(r.Left, r.Top, r.Right - 1, topLeft);
    cav.VertLine(r.Left, r.Top, r.Bottom - 1, topLeft);
    cav.HorzLine(r.Left, r.Bottom - 1, r.Right - 1, bottomRight);
    cav.VertLine(r.Right - 1, r.Top, r.Bottom - 1, bottomRight);
}

TZuRect Inside(const TZuRect& r, int by) {
    return {r.Left + by, r.Top + by, r.Right - by, r.Bottom - by};
}

// One line, vertically centred, left-aligned, cut with an ellipsis.
void RowText(TZuBitmapEx32& cav, const TZuRect& r, const QString& text, TColor32 color) {
    if (text.isEmpty() || r.IsEmpty() || !cav.Surface())
        return;
    QPainter p(cav.Surface());
    p.setFont(cav.Font());
    p.setPen(QColor::fromRgb(color));
    const QRect box(r.Left, r.Top, int(r.Width()), int(r.Height()));
    p.setClipRect(box);
    const QString shown = p.fontMetrics().elidedText(text, Qt::ElideRight, box.width());
    p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

} // namespace

TIGUIListControl::TIGUIListControl(QWidget* parent) : TZuListControl(parent) {
    DrawScrollBarWithStyle();
}

void TIGUIListControl::SetGUIStyle(TListControlGUI style) {
    if (style == style_)
        return;
    style_ = style;
    Relayout();
}

void TIGUIListControl::DrawFrame(TZuBitmap32& cav) {
    const TZuRect client = cav.BoundsRect();
    switch (style_) {
    case lcgFlat:
        ZuOutline(cav, client, kZuFlatFrame);
        ZuOutline(cav, Inside(client, 1), Color32(Color()));
        break;
    case lcgLowered:
        ZuOutline(cav, client, kLoweredFrame);
        break;
    case lcgIintaglio:
        // A sunken edge: shadow at the top left, light at the bottom right.
        Bevel(cav, client, Color32(clBtnShadow), Color32(clBtnHighlight));
        break;
    }
}

void TIGUIListControl::DrawItem(TZuBitmapEx32& cav, int index, const TZuRect& r,
                                TListItemStates state) {
    const QString text = ItemText(index);
    const TColor32 fontColor = Color32(cav.FontColor());
    switch (style_) {
    case lcgFlat:
        if (state & isSelected) {
            cav.FillRect(r, kFlatSelectedFill);
            ZuOutline(cav, r, kZuFlatSelectionOutline);
        } else if (state & isActive) {
            cav.FillRect(r, kFlatActiveFill);
            ZuOutline(cav, r, kFlatActiveOutline);
        } else {
            cav.FillRect(r, Color32(Color()));
        }
        RowText(cav, Inside(r, 1), text, fontColor);
        break;
    case lcgLowered: {
        const bool marked = state & (isSelected | isActive);
        cav.FillRect(r, marked ? kLoweredMarkedFill : kLoweredFill);
        Bevel(cav, r, (state & isActive) && !(state & isSelected) ? kLoweredDark : kLoweredLight,
              kLoweredDark);
        const TColor32 color = (state & isFocused)  ? kLoweredFocusedText
                               : (state & isActive) ? kLoweredActiveText
                                                    : kLoweredText;
        RowText(cav, Inside(r, 1), text, color);
        break;
    }
    case lcgIintaglio: {
        const bool selected = state & isSelected;
        cav.FillRect(r, selected ? Color32(clActiveCaption) : Color32(Color()));
        RowText(cav, r, text, selected ? (~fontColor | 0xFF000000u) : fontColor);
        if ((state & isFocused) && cav.Surface()) {
            QPainter p(cav.Surface());
            QPen pen(QColor::fromRgb(fontColor));
            pen.setStyle(Qt::DotLine);
            p.setPen(pen);
            p.drawRect(QRect(r.Left, r.Top, int(r.Width()) - 1, int(r.Height()) - 1));
        }
        break;
    }
    }
}

void TIGUIListControl::DrawScrollBarPart(TZuBitmap32& cav, TDrawScrollBar part, const TZuRect& r,
                                         TButtonState state) {
    // Every style draws the bar flat.
    TZuListControl::DrawScrollBarPart(cav, part, r, state);
}

} // namespace tunola
