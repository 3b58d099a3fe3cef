#pragma once
// Reads the bytes of a skin.xml into a TZuSkinDocument. One forward pass in document order:
// everything before the "tunola.skin" element is passed over; its "ver" must be exactly "2.0";
// a <window ...> start tag with a known, not yet seen id becomes the current window; an
// empty-element child (<button .../>) is read for the current window. Element names, the root
// name and ids are compared without regard to case, attribute names exactly.
//
// The parser gets no network, no DTD loading, no entity substitution and no XInclude; a file
// with a document type declaration is not a skin and is not read at all.

#include "ZuSkinDocument.h"
#include "ZuSkinImagePath.h"

#include <string_view>

namespace tunola {

// `skinFolder` is the folder the file lives in, with its trailing "/"; picture names are
// joined to it. Pure: touches no file.
TZuSkinDocument ReadSkin(std::string_view bytes, std::string_view skinFolder);

} // namespace tunola
