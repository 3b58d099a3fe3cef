#pragma once
// Attribute values of a skin file as text → numbers, colours and rectangles. Pure functions of
// the text; a value that does not read gives the documented default (0, or 0,0,0,0).

#include <ZuColor32.h>
#include <ZuPiece.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace tunola {

// Optional leading blanks, an optional sign, then decimal digits, or hexadecimal digits after
// "$", "x", "X", "0x" or "0X"; nothing may follow. Decimal values must fit 32 bits signed;
// hexadecimal ones may use all 32 bits (0xFF00000F is a system colour, i.e. negative).
std::optional<int32_t> ParseSkinInteger(std::string_view text);

// The same with 0 for an absent or malformed value.
int32_t SkinInteger(std::string_view text);
// Narrowed for 16-bit geometry and byte-sized settings. Out-of-range values stop at the end of
// the range instead of wrapping: "fade"="300" is a long fade, not 44 steps.
int16_t SkinInt16(std::string_view text);
uint8_t SkinByte(std::string_view text);
// Colours are 0x00BBGGRR, or a system colour when the top byte is 0xFF.
inline TColor SkinColor(std::string_view text) {
    return SkinInteger(text);
}

// "x,y,w,h" (a piece of a skin image, or a control's bounds): four integers, each narrowed to
// 16 bits. Anything else (a missing comma, a fifth
// number, one malformed number) gives 0,0,0,0.
TZuPiece ParseSkinRect(std::string_view text);

// Lower-cases ASCII letters only, as names and ids are compared in skin files.
bool SkinNameEquals(std::string_view a, std::string_view b);

} // namespace tunola
