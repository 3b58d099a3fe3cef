#pragma once
// The token reader under the LRC parser. It works on bytes: ASCII digits, letters and
// punctuation are the only characters it knows; everything else (blanks, control characters,
// the bytes of multi-byte characters) separates tokens and is skipped.

#include <cstddef>
#include <string_view>

namespace tunola {

enum class TLrcCharClass { None, Digit, Letter, Sign };

TLrcCharClass LrcCharClass(char c);

struct TLrcToken {
    TLrcCharClass Kind = TLrcCharClass::None; // None: no token left in the text
    std::string_view Text;                    // points into the text that was read
    size_t Start = 0;                         // 0-based position of the first character
};

// Reads the token at or after `pos` and leaves `pos` behind it. A sign is a token of one
// character; digits and letters form runs of their class. A run never takes in the last
// character of the whole text (old lyric files rely on tags read exactly this way).
TLrcToken ReadLrcToken(std::string_view text, size_t& pos);

} // namespace tunola
