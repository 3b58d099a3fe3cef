#pragma once
// Where a skin's picture file is: its name joined to the skin folder. Pure string work.

#include "ZuSkinDocument.h"

#include <string_view>

namespace tunola {

// The path of a picture named `fileName` in a skin folder: "\" separators read as "/", "." and
// ".." resolved by name. A name may reach into the folder of all skins ("../Default/x.png"
// shares a sibling skin's picture), never out of it. Nothing for an empty name, an absolute
// name, or one that leaves the skins folder.
TZuSkinImage ResolveSkinImage(std::string_view skinFolder, std::string_view fileName);

} // namespace tunola
