#include "ZuSkinDocument.h"

#include <iterator>

namespace tunola {

std::string_view SkinWindowName(TZuSkinWindowId id) {
    constexpr std::string_view kNames[] = {"main", "plist", "share", "lrc", "desktoplrc"};
    static_assert(std::size(kNames) == kZuSkinWindowCount);
    return kNames[size_t(id)];
}

} // namespace tunola
