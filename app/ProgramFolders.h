#pragma once
// Where the player finds its own files and keeps the user's.

#include <string>

namespace tunola {

// The folder that holds skin/, plugins/ and the audio add-ons, with a trailing "/": the
// executable's folder in a build tree, <prefix>/share/tunola/ when installed.
std::string FindProgramDir();

// The user's Documents folder + "Tunola/", created with every missing parent.
std::string MakeUserDir();

} // namespace tunola
