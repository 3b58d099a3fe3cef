#pragma once
// Whole-file replacement that never leaves half a file behind: the new bytes go to a temporary
// file beside the target, are flushed to disk, and the temporary file is renamed over the target;
// the folder is flushed too so that the rename itself survives a crash.
// Any thread may call these; they block on disk I/O.

#include <filesystem>
#include <string>
#include <string_view>

namespace tunola {

// Paths inside the program are UTF-8 strings; this makes a filesystem path of one on every
// platform (on Windows the bytes are not the ANSI code page).
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

// Replaces `path` with `bytes`. Returns false (and leaves the old file as it was) on any failure;
// `error`, when given, receives a short reason.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error = nullptr);

// Reads a whole file. Returns false when it cannot be opened or read.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

// Renames an unreadable file so that it is kept for the user and a new file can take its place:
// "<name>.unreadable" or, when that exists already, "<name>.unreadable-2", "-3", ...
// Returns the new path, or an empty path when the file could not be moved.
std::filesystem::path MoveAsideUnreadable(const std::filesystem::path& path);

} // namespace tunola
