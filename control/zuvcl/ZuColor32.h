#pragma once
// The two colour encodings of the control library and the conversions between them.
//   TColor   - the platform colour of skin files and control properties, 0x00BBGGRR (red in the
//              low byte); a negative value (top byte 0xFF) names a system colour by the index
//              in its low byte.
//   TColor32 - one pixel of TZuBitmap32, 0xAARRGGBB (in memory: B, G, R, A); alpha 0 is fully
//              transparent, 255 opaque. Colour channels are not premultiplied.

#include <cstdint>

class QPalette;

namespace tunola {

using TColor = int32_t;
using TColor32 = uint32_t;

// System colour indices as skin files name them (the top byte 0xFF marks the value as one).
enum TZuSystemColor : int32_t {
    clScrollBar = int32_t(0xFF000000),
    clBackground = int32_t(0xFF000001),
    clActiveCaption = int32_t(0xFF000002),
    clInactiveCaption = int32_t(0xFF000003),
    clMenu = int32_t(0xFF000004),
    clWindow = int32_t(0xFF000005),
    clWindowFrame = int32_t(0xFF000006),
    clMenuText = int32_t(0xFF000007),
    clWindowText = int32_t(0xFF000008),
    clCaptionText = int32_t(0xFF000009),
    clActiveBorder = int32_t(0xFF00000A),
    clInactiveBorder = int32_t(0xFF00000B),
    clAppWorkSpace = int32_t(0xFF00000C),
    clHighlight = int32_t(0xFF00000D),
    clHighlightText = int32_t(0xFF00000E),
    clBtnFace = int32_t(0xFF00000F),
    clBtnShadow = int32_t(0xFF000010),
    clGrayText = int32_t(0xFF000011),
    clBtnText = int32_t(0xFF000012),
    clInactiveCaptionText = int32_t(0xFF000013),
    clBtnHighlight = int32_t(0xFF000014),
    cl3DDkShadow = int32_t(0xFF000015),
    cl3DLight = int32_t(0xFF000016),
    clInfoText = int32_t(0xFF000017),
    clInfoBk = int32_t(0xFF000018),
    clHotLight = int32_t(0xFF00001A),
    clGradientActiveCaption = int32_t(0xFF00001B),
    clGradientInactiveCaption = int32_t(0xFF00001C),
    clMenuHighlight = int32_t(0xFF00001D),
    clMenuBar = int32_t(0xFF00001E),
};

// Platform colour -> opaque pixel colour 0xFFRRGGBB. System colours are looked up in `palette`;
// an index the platform does not know gives black.
TColor32 Color32(TColor color, const QPalette& palette);
// The same with the application's palette (the platform's colours once a QGuiApplication
// exists, Qt's built-in defaults before).
TColor32 Color32(TColor color);

// Pixel colour -> platform colour 0x00BBGGRR; the alpha is dropped.
constexpr TColor WinColor(TColor32 color) {
    return TColor(((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF));
}

constexpr uint8_t AlphaComponent(TColor32 color) {
    return uint8_t(color >> 24);
}

// Keeps the colour and stores the new alpha, clamped to 0-255.
constexpr TColor32 SetAlpha(TColor32 color, int32_t alpha) {
    const uint32_t a = alpha < 0 ? 0u : alpha > 255 ? 255u : uint32_t(alpha);
    return (color & 0x00FFFFFFu) | (a << 24);
}

constexpr TColor32 ZuColor32(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    return (uint32_t(a) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
}

} // namespace tunola
