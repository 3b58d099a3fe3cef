#pragma once
// The lyric windows under the skin loader: the lyrics window is the skin's "lrc" window, and
// the two elements the loader cannot apply by itself get their appliers: <visual id="minlrc">
// (the lyric display) and <visual id="desktoplrc"> (the desktop lyrics).
// UI thread only.

#include <ZuSkin.h>

namespace tunola {

class TTunLrc;
class TTunDeskTopLrc;

void RegisterLyricsSkin(TZuSkin& skin, TTunLrc& lyrics, TTunDeskTopLrc& desktop);

// Spacing, colours and font of a TZuLrcShow (bounds and anchors are set by the loader).
void ApplySkinLrcView(const TZuSkinLrcView& element, QWidget& control, TZuSkinContext& context);
// Background of the fade text, the first label's gradient and font (the height is set by the
// loader); "alpha" has no effect.
void ApplySkinDesktopLrc(const TZuSkinDesktopLrc& element, QWidget& window,
                         TZuSkinContext& context);

} // namespace tunola
