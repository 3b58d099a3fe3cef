#pragma once
// The file name a downloaded lyric is saved under: "<title> <artist>.lrc", so that the next
// lookup in the lyric folder finds it by name.

#include <string>
#include <string_view>

namespace tunola {

// Title and artist come from outside (tags, the lyric server), so the name is made safe:
// the characters "*/:<>?\| and control characters are removed and an overlong name is cut at
// a character boundary. The result is a plain file name that cannot leave its folder; it is
// empty when nothing usable is left.
std::string LyricFileName(std::string_view title, std::string_view artist);

} // namespace tunola
