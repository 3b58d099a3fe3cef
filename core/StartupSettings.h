#pragma once
// The settings the player reads at start-up and writes at close, with their fallbacks.

#include "AppState.h"
#include "MoConfig.h"

#include <string>
#include <string_view>
#include <vector>

namespace tunola {

inline constexpr const char* kConfigRoot = "TUNOLA.CONFIG";
inline constexpr const char* kConfigFileName = "tunola.xml";

std::string UserConfigFile(const TAppState& state);

// Play mode, lyric folder (created when it is missing), playlist file, skin name and folder (the
// default skin when the configured one is not there).
void ReadStartupSettings(TMoConfig& config, TAppState& state);

// Playlist file, play mode and skin name. The lyric folder is written only by the command that
// chooses it.
void WriteCloseSettings(TMoConfig& config, const TAppState& state);

// Folder names under `skinRoot` that do not begin with ".", in a stable (name) order. Each is
// the folder's own bytes, which need not be UTF-8 (a skin unpacked from a Windows zip).
std::vector<std::string> ListSkinFolders(const std::string& skinRoot);

// A skin folder's name as the configuration stores it: a UTF-8 name as it is; any other bytes
// as "/" followed by the bytes with every byte outside printable ASCII, and "%" and "/",
// written as "%XX" (no folder name holds a "/", so the two forms cannot meet). SkinNameFromConfig
// undoes it and returns other text unchanged.
std::string SkinNameToConfig(std::string_view folderName);
std::string SkinNameFromConfig(std::string_view stored);
// The menu caption of a skin folder: its name when that is UTF-8, else read as GB18030.
std::string SkinCaption(std::string_view folderName);

// "a/b" → "a/b/"; "" stays "".
std::string WithTrailingSlash(std::string folder);

} // namespace tunola
