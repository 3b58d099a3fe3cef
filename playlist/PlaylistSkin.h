#pragma once
// The playlist window under the skin loader: the window is registered as the skin's "plist"
// window, and the "list" element, which the loader cannot apply by itself, gets its applier:
// the view's colours, font and scroll bar pictures.
// UI thread only.

#include <ZuSkin.h>

namespace tunola {

class TTunPlayList;

// Registers `window` and the "list" applier with `skin` (call before the first LoadSkin).
void RegisterPlaylistSkin(TZuSkin& skin, TTunPlayList& window);

// <list id="playlist"> on the playlist view lv_list (bounds and anchors are already set): the
// scroll bar's width and slider size, the five colours, the font, the slider pictures, the
// track piece and the scroll bar's picture (the track has no caps). The list gets the
// window's menu pm_list.
void ApplySkinList(const TZuSkinList& element, QWidget& control, TZuSkinContext& context);

} // namespace tunola
