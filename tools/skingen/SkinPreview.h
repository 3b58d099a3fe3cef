#pragma once
// Preview pictures of a skin for the team, drawn from the skin folder as the player would show
// it: one picture per window, the four windows docked together, the desktop lyrics over a
// desktop, and a sheet of every button and slider state (at twice the size, to see the pixels).

#include "SkinCheck.h"

#include <QString>

void writeSkinPreviews(const ParsedSkin& skin, const QString& skinName, const QString& folder);
