#pragma once
// Fuzzy name matching for lyric lookup. Both functions work on bytes; callers pass the GB18030
// bytes of their texts (MatchBytes), so that a Chinese character weighs two bytes as it always
// did and the score thresholds of the lookup keep their meaning.

#include <string>
#include <string_view>

namespace tunola {

// Equal bytes; with `alike`, ASCII letters compare case-blind and these sound alike:
// A/E, B/P, C/Z, D/T, F/V, G/K, I/J/Y.
bool CharsAlike(char a, char b, bool alike);

// 0..100: how many bytes of the shorter text are found, in order and near their place, in the
// longer one, per 100 bytes of the longer one. Either text empty gives 0.
int Similarity(std::string_view s1, std::string_view s2, bool alike);

// ASCII letters lowered, nothing else touched (safe on UTF-8).
std::string LowerAscii(std::string_view utf8);

// The bytes a UTF-8 text is matched by: lowered ASCII letters, then GB18030.
std::string MatchBytes(std::string_view utf8);

} // namespace tunola
