#pragma once
// Text of tag fields that carry no trustworthy encoding: ID3v1, ID3v2 frames marked Latin-1,
// RIFF INFO chunks. Chinese taggers wrote GBK bytes there; others wrote UTF-8 or real Latin-1.
// This works out which and returns UTF-8, so a title never turns into mojibake.

#include <string>
#include <string_view>

namespace tunaudio {

// Trailing NULs and spaces (ID3v1 padding) are dropped. ASCII and valid UTF-8 are kept; bytes
// that read as GBK made of mostly GB2312 characters are decoded as GB18030; anything else is
// Latin-1.
std::string DecodeLegacyTagText(std::string_view bytes);

// True when every byte from 0x80 up pairs into a GBK character and most pairs are GB2312
// (hanzi, kana, full-width forms). A lone lead byte at the very end (a fixed-size field that
// cut a character in half) is allowed.
bool LooksLikeGbk(std::string_view bytes);

} // namespace tunaudio
