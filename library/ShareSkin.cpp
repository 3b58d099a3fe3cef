#include "ShareSkin.h"

#include "TunShare.h"

namespace tunola {

void RegisterShareSkin(TZuSkin& skin, TTunShare& window) {
    skin.RegisterWindow(TZuSkinWindowId::Share, &window);
}

} // namespace tunola
