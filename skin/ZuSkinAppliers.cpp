#include "ZuSkinAppliers.h"

#include "ZuAnchorKeeper.h"

#include <CnAAMarqueeText.h>
#include <ZuBitmap32.h>
#include <ZuButton.h>
#include <ZuColor32.h>
#include <ZuSlider.h>
#include <ZuTabControl.h>
#include <ZuWindow.h>

#include <QColor>
#include <QPalette>

#include <algorithm>

namespace tunola {

namespace {

QColor SkinQColor(TColor color) {
    return QColor::fromRgb(Color32(color));
}

void SetTextLook(QWidget& control, const TZuSkinFont& font, TColor color) {
    control.setFont(SkinFont(control.font(), font));
    QPalette palette = control.palette();
    palette.setColor(QPalette::WindowText, SkinQColor(color));
    palette.setColor(QPalette::Text, SkinQColor(color));
    control.setPalette(palette);
}

void SetBackground(QWidget& control, TColor color) {
    QPalette palette = control.palette();
    palette.setColor(QPalette::Window, SkinQColor(color));
    control.setPalette(palette);
    control.setAutoFillBackground(true);
}

// Straight into the control's Image: a picture that does not load leaves it as it was, and
// one that does repaints the control.
void SetSkinPicture(TZuGraphicControl& control, const TZuSkinImage& image,
                    TZuSkinContext& context) {
    context.LoadPicture(image, control.Image());
}

} // namespace

int SkinFontPixels(int32_t points) {
    return int((int64_t(points) * 96 + 36) / 72);
}

QFont SkinFont(const QFont& base, const TZuSkinFont& font) {
    QFont result = base;
    if (!font.Name.empty())
        result.setFamilies({QString::fromStdString(font.Name)});
    if (font.Size > 0)
        result.setPixelSize(std::clamp(SkinFontPixels(font.Size), 1, 4096));
    return result;
}

void ApplySkinWindow(const TZuSkinWindow& e, QWidget& form, TZuSkinContext& context) {
    QWidget* backgroundWidget = context.Control("ZuWindow1");
    auto* background = qobject_cast<TZuWindow*>(backgroundWidget);
    // Presses on the background go through to the form, which drags itself.
    if (backgroundWidget)
        backgroundWidget->setEnabled(false);
    if (background)
        SetSkinPicture(*background, e.Image, context);

    const auto limit = [](int16_t v) { return v > 0 ? int(v) : QWIDGETSIZE_MAX; };
    form.setMinimumWidth(std::max<int>(0, e.MinW));
    form.setMinimumHeight(std::max<int>(0, e.MinH));
    form.setMaximumWidth(limit(e.MaxW));
    form.setMaximumHeight(limit(e.MaxH));
    // A window of no size could not be found again; a missing size keeps the present one.
    if (e.W > 0)
        form.resize(e.W, form.height());
    if (e.H > 0)
        form.resize(form.width(), e.H);

    if (background) {
        background->SetTopLeft(e.TL.X, e.TL.Y, e.TL.W, e.TL.H);
        background->SetTopMiddle(e.TM.X, e.TM.Y, e.TM.W, e.TM.H);
        background->SetTopRight(e.TR.X, e.TR.Y, e.TR.W, e.TR.H);
        background->SetBottomLeft(e.BL.X, e.BL.Y, e.BL.W, e.BL.H);
        background->SetBottomMiddle(e.BM.X, e.BM.Y, e.BM.W, e.BM.H);
        background->SetBottomRight(e.BR.X, e.BR.Y, e.BR.W, e.BR.H);
        background->SetLeftMiddle(e.LM.X, e.LM.Y, e.LM.W, e.LM.H);
        background->SetRightMiddle(e.RM.X, e.RM.Y, e.RM.W, e.RM.H);
        background->SetTitleCenter(e.TC.X, e.TC.Y, e.TC.W, e.TC.H);
        background->SetColor(e.BgColor);
        background->RebuildRegions(true);
    }
    // A hidden form gets its resize event only when shown; place its controls now.
    if (TZuAnchorKeeper* keeper = TZuAnchorKeeper::Find(form))
        keeper->Relayout();
}

void ApplySkinButton(const TZuSkinButton& e, QWidget& control, TZuSkinContext& context) {
    auto* button = qobject_cast<TZuButton*>(&control);
    if (button) {
        button->SetNormalX(e.NormalX);
        button->SetNormalY(e.NormalY);
        button->SetPressedX(e.PressedX);
        button->SetPressedY(e.PressedY);
        button->SetHighlightedX(e.HighlightedX);
        button->SetHighlightedY(e.HighlightedY);
        if (auto* checked = qobject_cast<TZuCheckedButton*>(button); checked && e.Checkable) {
            checked->SetCheckedX(e.CheckedX);
            checked->SetCheckedY(e.CheckedY);
            checked->SetCheckedPX(e.CheckedPX);
            checked->SetCheckedPY(e.CheckedPY);
            checked->SetCheckedHX(e.CheckedHX);
            checked->SetCheckedHY(e.CheckedHY);
        }
        button->SetFade(e.Fade);
    }
    control.setToolTip(QString::fromStdString(e.Hint));
    if (button)
        SetSkinPicture(*button, e.Image, context);
}

void ApplySkinSlider(const TZuSkinSlider& e, QWidget& control, TZuSkinContext& context) {
    auto* slider = qobject_cast<TZuSlider*>(&control);
    if (!slider)
        return;
    slider->SetNormalX(e.NormalX);
    slider->SetNormalY(e.NormalY);
    slider->SetPressedX(e.PressedX);
    slider->SetPressedY(e.PressedY);
    slider->SetHighlightedX(e.HighlightedX);
    slider->SetHighlightedY(e.HighlightedY);
    slider->SetSliderW(e.SliderW);
    slider->SetSliderH(e.SliderH);
    if (auto* tiled = qobject_cast<TZuSliderBlendEx*>(slider)) {
        tiled->SetTileA(e.TileA.X, e.TileA.Y, e.TileA.W, e.TileA.H);
        tiled->SetTileB(e.TileB.X, e.TileB.Y, e.TileB.W, e.TileB.H);
        tiled->SetBorder(e.Border);
    }
    slider->SetKind(e.Horizontal ? skHorizontal : skVertical);
    if (e.Style)
        slider->SetStyle(TZuSliderStyle(*e.Style));
    SetSkinPicture(*slider, e.Image, context);
}

void ApplySkinLabel(const TZuSkinLabel& e, QWidget& control, TZuSkinContext&) {
    SetTextLook(control, e.Font, e.FontColor);
}

void ApplySkinScrollText(const TZuSkinScrollText& e, QWidget& control, TZuSkinContext&) {
    if (auto* marquee = qobject_cast<TCnAAMarqueeText*>(&control)) {
        marquee->SetTextFont(SkinFont(marquee->font(), e.Font));
        marquee->SetFontColor(Color32(e.FontColor));
        marquee->SetBackColor(Color32(e.BackColor));
        return;
    }
    SetTextLook(control, e.Font, e.FontColor);
    SetBackground(control, e.BackColor);
}

void ApplySkinPanel(const TZuSkinPanel& e, QWidget& control, TZuSkinContext& context) {
    SetBackground(control, e.Color);
    for (const char* name : {"pnl_top", "Panel2"})
        if (QWidget* panel = context.Control(name))
            SetBackground(*panel, e.Color);
}

void ApplySkinTab(const TZuSkinTab& e, QWidget& control, TZuSkinContext& context) {
    auto* tabs = qobject_cast<TZuTabControl*>(&control);
    if (!tabs)
        return;
    tabs->SetAColor(e.AColor);
    tabs->SetDColor(e.DColor);
    context.LoadPicture(e.Image, tabs->Image());
    tabs->update();
}

} // namespace tunola
