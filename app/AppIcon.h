#pragma once
// The player's icon (window and tray): a note on a round badge, drawn at the sizes a desktop
// asks for, so no picture file has to be found at start-up.

#include <QIcon>

namespace tunola {

QIcon MakeAppIcon();

} // namespace tunola
