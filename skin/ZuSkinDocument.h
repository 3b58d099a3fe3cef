#pragma once
// What a skin file says, as typed values: one record per element that the player applies, in
// the order of the file, each naming the window and the component it is for. Produced by
// ReadSkin (ZuSkinReader.h) without touching any window, so it can be checked headless.

#include "ZuAnchors.h"
#include "ZuSkinValues.h"

#include <ZuColor32.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tunola {

// The windows a skin addresses. The first four are the skin's own window ids; the desktop
// lyrics window is reached only through its "visual" element.
enum class TZuSkinWindowId : uint8_t { Main, Plist, Share, Lrc, DesktopLrc };
inline constexpr int kZuSkinWindowCount = 5;

// "main", "plist", "share", "lrc", "desktoplrc".
std::string_view SkinWindowName(TZuSkinWindowId id);

// The control an element is applied to: a component of a window, by its object name. An empty
// component means the window itself.
struct TZuSkinTarget {
    TZuSkinWindowId Window = TZuSkinWindowId::Main;
    std::string Component;
};

// A picture file: the path joined to the skin folder, or nothing when the element names none
// (or names one outside the skin folder). A picture that is not there or does not decode is
// left out when the skin is applied; the control keeps the picture it had.
using TZuSkinImage = std::optional<std::string>;

struct TZuSkinFont {
    std::string Name; // empty: keep the control's font family
    int32_t Size = 0; // points at 96 dpi; 0 or less keeps the control's size
};

struct TZuSkinElementBase {
    TZuSkinTarget Target;
    int Line = 0; // line in the file, for messages
};

// <window>: the form and its background ZuWindow1.
struct TZuSkinWindow : TZuSkinElementBase {
    TZuSkinImage Image;
    int16_t MinW = 0, MinH = 0, MaxW = 0, MaxH = 0; // 0: no limit
    int16_t W = 0, H = 0;
    // The nine frame pieces: corners, edges and the title centre.
    TZuPiece TL, TM, TR, BL, BM, BR, LM, RM, TC;
    TColor BgColor = 0;
};

// <button> and <ckbutton>.
struct TZuSkinButton : TZuSkinElementBase {
    bool Checkable = false; // <ckbutton>: the Checked* corners below are set too
    TZuPiece Bounds;
    int16_t NormalX = 0, NormalY = 0, PressedX = 0, PressedY = 0;
    int16_t HighlightedX = 0, HighlightedY = 0;
    int16_t CheckedX = 0, CheckedY = 0, CheckedPX = 0, CheckedPY = 0;
    int16_t CheckedHX = 0, CheckedHY = 0;
    uint8_t Fade = 0;
    TZuAnchors Anchors;
    std::string Hint;
    TZuSkinImage Image;
};

// <label>: the time and status texts of the main window.
struct TZuSkinLabel : TZuSkinElementBase {
    TZuPiece Bounds;
    TZuSkinFont Font;
    TColor FontColor = 0;
    TZuAnchors Anchors;
};

// <scrolltext id="title">: the scrolling song title.
struct TZuSkinScrollText : TZuSkinElementBase {
    TZuPiece Bounds;
    TColor BackColor = 0;
    TZuSkinFont Font;
    TColor FontColor = 0;
    TZuAnchors Anchors;
};

// <slider>: position and volume.
struct TZuSkinSlider : TZuSkinElementBase {
    TZuPiece Bounds;
    int16_t NormalX = 0, NormalY = 0, PressedX = 0, PressedY = 0;
    int16_t HighlightedX = 0, HighlightedY = 0;
    int16_t SliderW = 0, SliderH = 0;
    TZuPiece TileA, TileB;
    uint8_t Border = 0;
    bool Horizontal = false;
    // "align" joined with the orientation: a horizontal slider always gains left and right,
    // a vertical one top and bottom.
    TZuAnchors Anchors;
    std::optional<uint8_t> Style; // 0-3; other values leave the style as it is
    TZuSkinImage Image;
};

// <list id="playlist">: the playlist view and its scroll bar.
struct TZuSkinList : TZuSkinElementBase {
    TZuPiece Bounds;
    uint8_t ScrollBarWidth = 0; // "sw" as the view keeps it
    int16_t SliderW = 0;        // "sw" as the scroll bar's thumb width
    int16_t SliderH = 0;
    TColor BackColor = 0, SelectionColor = 0, TextColor = 0, TextCurrentColor = 0;
    TColor TextSelectedColor = 0;
    // "textfcolor": entries that failed to open; a skin without it keeps the view's default.
    std::optional<TColor> TextFailedColor;
    TZuSkinFont Font;
    TZuAnchors Anchors;
    int16_t NormalX = 0, NormalY = 0, PressedX = 0, PressedY = 0;
    int16_t HighlightedX = 0, HighlightedY = 0;
    TZuPiece TrackRect;
    TZuSkinImage Image; // the scroll bar's picture
};

// <visual id="minlrc">: the lyric display of the lyrics window.
struct TZuSkinLrcView : TZuSkinElementBase {
    TZuAnchors Anchors;
    TZuPiece Bounds;
    uint8_t LrcSpace = 0;
    TColor BGColor = 0, LrcColor = 0, LrcCurrColor = 0;
    std::string FontName;
    uint8_t FontSize = 0;
};

// <visual id="ost">: the spectrum box and the painter made for it.
struct TZuSkinSpectrum : TZuSkinElementBase {
    TZuPiece Bounds;
    TZuAnchors Anchors;
    TColor BackColor = 0, BarColor = 0, PeakColor = 0;
    uint8_t BarStyle = 0;
    int32_t MaxHeight = 0, BarWidth = 0, LastBar = 0;
};

// <visual id="desktoplrc">: the desktop lyrics window and its fade text.
struct TZuSkinDesktopLrc : TZuSkinElementBase {
    int16_t H = 0;
    TColor BackColor = 0, ColorBegin = 0, ColorEnd = 0;
    TZuSkinFont Font;
};

// <panel id="tabvsv">: the library window's page area (pnl_psvs; its colour also goes to
// pnl_top and Panel2).
struct TZuSkinPanel : TZuSkinElementBase {
    TZuAnchors Anchors;
    TZuPiece Bounds;
    TColor Color = 0;
};

// <tab id="tabvsv">: the library window's tab strip.
struct TZuSkinTab : TZuSkinElementBase {
    TZuPiece Bounds;
    TColor AColor = 0, DColor = 0;
    TZuAnchors Anchors;
    TZuSkinImage Image;
};

using TZuSkinElement = std::variant<TZuSkinWindow, TZuSkinButton, TZuSkinLabel, TZuSkinScrollText,
                                    TZuSkinSlider, TZuSkinList, TZuSkinLrcView, TZuSkinSpectrum,
                                    TZuSkinDesktopLrc, TZuSkinPanel, TZuSkinTab>;

// Why an element of the file was passed over.
enum class TZuSkinSkipReason : uint8_t {
    NoAttributes,   // an element with no attributes at all
    NoWindow,       // a child before the first recognised window
    UnknownWindow,  // a window id other than main, plist, share, lrc
    RepeatedWindow, // a window id seen before in this file
    EmptyWindowTag, // <window .../> instead of a start and an end tag
    StartTag,       // a child written with a start and an end tag
    UnknownElement, // an element name the player does not read
    UnknownId,      // a known element with an id it does not know (in this window)
};

struct TZuSkinSkip {
    int Line = 0;
    std::string Element; // lower case
    std::string Id;      // lower case
    TZuSkinSkipReason Reason = TZuSkinSkipReason::UnknownElement;
};

struct TZuSkinDocument {
    enum class TStatus : uint8_t {
        NoRoot,       // empty, not XML, or no "tunola.skin" element: nothing to apply
        WrongVersion, // the root's "ver" is not exactly "2.0": nothing to apply
        Read,         // the elements below were read
    };
    TStatus Status = TStatus::NoRoot;
    // False when the XML broke off; the elements before the break are kept.
    bool WellFormed = true;
    std::vector<TZuSkinElement> Elements;
    std::vector<TZuSkinSkip> Skipped;
};

} // namespace tunola
