#pragma once
// Reading the service's "/soft/updata.asp" answer: whether the service is there, and whether it
// offers a newer version of the program and what to hand the updater. Pure; any thread. The
// answer is untrusted bytes: every malformed one gives nothing, never an update.

#include "FileVersion.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tunola {

// Every answer of the service holds this (case matters).
inline constexpr std::string_view kServiceMarker = "tunola";

bool HasServiceMarker(std::string_view answer);

struct TUpdateOffer {
    uint64_t Version = 0;  // the service's number, built like LocalUpdateNumber
    std::string Parameter; // for the updater: the new version and where to get it
};

// The offer in an answer that holds the marker: the version number is the text from the 10th
// character (counting from 1) up to the first "," at or after it, decimal digits only; the
// parameter is everything after that comma. Nothing when the marker, the comma or the number is
// missing, or the number is not one (signs, blanks, letters, too many digits).
std::optional<TUpdateOffer> ParseUpdateAnswer(std::string_view answer);

// The program's own number: decimal(major) followed directly by decimal(minor), read as a
// number (2.4 gives 24, 2.10 gives 210).
uint64_t LocalUpdateNumber(const TFileVersion& version);

// The updater's parameter when `answer` offers a number above `local`; nothing otherwise.
std::optional<std::string> UpdateParameter(std::string_view answer, uint64_t local);

} // namespace tunola
