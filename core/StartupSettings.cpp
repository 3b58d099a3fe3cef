#include "StartupSettings.h"

#include "AtomicFile.h"

#include <algorithm>
#include <filesystem>

namespace tunola {

namespace fs = std::filesystem;

std::string WithTrailingSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\')
        folder += '/';
    return folder;
}

std::string UserConfigFile(const TAppState& state) {
    return state.UserDir + kConfigFileName;
}

void ReadStartupSettings(TMoConfig& config, TAppState& state) {
    state.PlayMode = PlayModeFromPattern(config.ReadInteger("Window/PLAY", "PATTERN", 1));

    std::error_code ec;
    state.LyricDir = config.ReadString("Window/LRC", "PATH", state.UserDir + "lrc");
    if (!fs::is_directory(PathFromUtf8(state.LyricDir), ec)) {
        state.LyricDir = state.UserDir + "lrc/";
        fs::create_directories(PathFromUtf8(state.LyricDir), ec);
    }
    state.LyricDir = WithTrailingSlash(state.LyricDir);

    state.PlaylistFile = config.ReadString("Window/PLIST", "PATH", state.UserDir + "Default.pls");
    if (!fs::is_regular_file(PathFromUtf8(state.PlaylistFile), ec))
        state.PlaylistFile = state.UserDir + "Default.pls";

    state.SkinName = config.ReadString("Window/SKIN", "NAME", "Default");
    state.SkinDir = state.ProgramDir + "skin/" + state.SkinName + "/";
}

void WriteCloseSettings(TMoConfig& config, const TAppState& state) {
    config.WriteString("Window/PLIST", "PATH", state.PlaylistFile);
    config.WriteInteger("Window/PLAY", "PATTERN", PatternFromPlayMode(state.PlayMode));
    config.WriteString("Window/SKIN", "NAME", state.SkinName);
}

std::vector<std::string> ListSkinFolders(const std::string& skinRoot) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(PathFromUtf8(skinRoot), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeEc;
        if (!it->is_directory(typeEc))
            continue;
        std::string name = PathToUtf8(it->path().filename());
        if (!name.empty() && name.front() != '.')
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace tunola
