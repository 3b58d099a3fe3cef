#pragma once
// The settings the player reads at start-up and writes at close, with their fallbacks.

#include "AppState.h"
#include "MoConfig.h"

#include <string>
#include <vector>

namespace tunola {

inline constexpr const char* kConfigRoot = "TUNOLA.CONFIG";
inline constexpr const char* kConfigFileName = "tunola.xml";

std::string UserConfigFile(const TAppState& state);

// Play mode, lyric folder (created when it is missing), playlist file, skin name and folder.
void ReadStartupSettings(TMoConfig& config, TAppState& state);

// Playlist file, play mode and skin name. The lyric folder is written only by the command that
// chooses it.
void WriteCloseSettings(TMoConfig& config, const TAppState& state);

// Folder names under `skinRoot` that do not begin with ".", in a stable (name) order.
std::vector<std::string> ListSkinFolders(const std::string& skinRoot);

// "a/b" → "a/b/"; "" stays "".
std::string WithTrailingSlash(std::string folder);

} // namespace tunola
