#pragma once
// The appliers for the controls that exist in the control library and for plain widgets: the
// window background and its form, buttons, sliders, text labels, the title's stand-in and
// the library window's panels. TZuSkin uses them unless the player puts its own in their
// place.

#include "ZuSkinContext.h"
#include "ZuSkinDocument.h"

#include <QFont>

namespace tunola {

// <window>: the background ZuWindow1 (made mouse-transparent, its picture, frame pieces,
// colour and shape) and the form's size limits and size. A size of 0 or less leaves that
// side as it is; a limit of 0 or less means none.
void ApplySkinWindow(const TZuSkinWindow& element, QWidget& form, TZuSkinContext& context);

// <button>, <ckbutton>: pictures, fade, tool-tip and image of a TZuButton / TZuCheckedButton;
// only the tool-tip on another kind of button.
void ApplySkinButton(const TZuSkinButton& element, QWidget& control, TZuSkinContext& context);

// <slider>: pictures, thumb size, track pieces, border, kind, style and image of a
// TZuSliderBlendEx (as much of it as a simpler TZuSlider has).
void ApplySkinSlider(const TZuSkinSlider& element, QWidget& control, TZuSkinContext& context);

// <label>: font and text colour of any widget that draws its text in the palette's
// window-text colour (a QLabel, say); the background stays transparent.
void ApplySkinLabel(const TZuSkinLabel& element, QWidget& control, TZuSkinContext& context);

// <scrolltext>: font, colour and background colour of the title's marquee (or of a plain
// widget standing in for it).
void ApplySkinScrollText(const TZuSkinScrollText& element, QWidget& control,
                         TZuSkinContext& context);

// <panel>: the background colour of pnl_psvs, pnl_top and Panel2.
void ApplySkinPanel(const TZuSkinPanel& element, QWidget& control, TZuSkinContext& context);

// <tab>: text colours and image of the library window's tab strip (a TZuTabControl).
void ApplySkinTab(const TZuSkinTab& element, QWidget& control, TZuSkinContext& context);

// A skin's font on top of `base`: its family when it names one; its size, points at 96 dpi,
// as pixels (so a skin looks the same on every screen) when it is positive.
QFont SkinFont(const QFont& base, const TZuSkinFont& font);
// Points at 96 dpi to pixels, rounded: 9 → 12, 11 → 15.
int SkinFontPixels(int32_t points);

} // namespace tunola
