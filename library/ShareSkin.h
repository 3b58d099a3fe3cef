#pragma once
// The music library window under the skin loader: it is the skin's "share" window; its six
// buttons, the page area (<panel id="tabvsv">) and the tab strip (<tab id="tabvsv">) are
// applied by the loader's own appliers. UI thread only.

#include <ZuSkin.h>

namespace tunola {

class TTunShare;

void RegisterShareSkin(TZuSkin& skin, TTunShare& window);

} // namespace tunola
