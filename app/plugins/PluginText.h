#pragma once
// Small helpers the bundled plug-ins share: the user's home folder, a file replaced in one
// step, and text cleaned for one-line, tab-separated records.

#include <string>

namespace tunola_plugins {

// $HOME, else the password database's home folder; empty when neither is known.
std::string HomeFolder();
// Writes `text` to a temporary file beside `path` and renames it over `path`, so that a reader
// never sees half a file. Creates missing parent folders. False on failure.
bool ReplaceFile(const std::string& path, const std::string& text);
// Tabs, carriage returns and line feeds become spaces.
std::string OneField(std::string text);
// The last path component without its extension ("a/b/Song.mp3" -> "Song").
std::string BaseName(const std::string& fileName);

} // namespace tunola_plugins
