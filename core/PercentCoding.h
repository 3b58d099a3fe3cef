#pragma once
// Percent-encoding pieces shared by the web client, share links, playlist URIs and stored skin
// names. Each caller keeps its own decoding rules (they differ on purpose: a form value stops at
// "&", a file URI leaves a broken escape as it stands); what they share is here. Pure functions.

#include <string>
#include <string_view>

namespace tunola {

// The value of a hexadecimal digit (either case), or -1.
int HexDigitValue(char c);

bool IsAsciiAlnum(unsigned char c);

// Every byte that `keep` rejects becomes "%" and two upper-case hex digits.
std::string PercentEncode(std::string_view bytes, bool (*keep)(unsigned char));

// Decodes each "%" followed by two hex digits; anything else, a broken escape included, is
// copied as it stands.
std::string PercentDecodeValid(std::string_view text);

} // namespace tunola
