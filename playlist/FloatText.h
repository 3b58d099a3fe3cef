#pragma once
// Numbers and flags as the playlist file spells them. Lists written by earlier versions of the
// player carry lengths in the classic general float notation (15 significant digits, "E" exponent
// below 0.0001 and from 1E15 on) and flags as numbers or True/False. These helpers write that
// notation independent of the user's locale and read it back from any locale's files.
// Pure functions; any thread.

#include <string>
#include <string_view>

namespace tunola {

// General notation with up to 15 significant digits and no trailing zeros; "." as the decimal
// separator always. Fixed form for 1E-4 <= |value| < 1E15 ("0.00283564814814815", "245"), else
// exponent form with a bare exponent ("1.15740740740741E-5", "1E15"). Zero, NaN and infinities
// are written "0": a length that is not a number must not make the file unreadable.
std::string FloatToStr(double value);

// Reads a finite decimal number: surrounding blanks allowed, optional sign, digits with "." or
// "," as the decimal separator (files saved under any locale read alike), optional exponent.
// Returns false for anything else, leaving `value` untouched.
bool TryStrToFloat(std::string_view text, double& value);

// A flag is a number (non-zero is true) or the word True or False in any case.
bool TryStrToBool(std::string_view text, bool& value);

} // namespace tunola
