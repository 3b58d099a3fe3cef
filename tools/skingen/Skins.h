#pragma once
// The skins of our own. Each writes its folder (skin.xml and every picture it names).

#include <QString>

// "Default": graphite panels with a jade accent, soft rounded corners, icon-only buttons that
// light up on a rounded plate.
void writeDefaultSkin(const QString& folder);

// "Porcelain": white and blue-grey with a cobalt accent, crisp small corners, ring buttons and a
// line spectrum in a tinted screen.
void writePorcelainSkin(const QString& folder);
