#include "StartupSettings.h"

#include "PercentCoding.h"

#include "AtomicFile.h"
#include "TextCodec.h"

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

    state.SkinName = SkinNameFromConfig(config.ReadString("Window/SKIN", "NAME", "Default"));
    if (state.SkinName.empty() ||
        !fs::is_directory(PathFromUtf8(state.ProgramDir + "skin/" + state.SkinName), ec))
        state.SkinName = "Default";
    state.SkinDir = state.ProgramDir + "skin/" + state.SkinName + "/";
}

void WriteCloseSettings(TMoConfig& config, const TAppState& state) {
    config.WriteString("Window/PLIST", "PATH", state.PlaylistFile);
    config.WriteInteger("Window/PLAY", "PATTERN", PatternFromPlayMode(state.PlayMode));
    config.WriteString("Window/SKIN", "NAME", SkinNameToConfig(state.SkinName));
}

std::string SkinNameToConfig(std::string_view folderName) {
    if (IsValidUtf8(folderName))
        return std::string(folderName);
    return "/" + PercentEncode(folderName, [](unsigned char byte) {
               return byte > 0x20 && byte < 0x7F && byte != '%' && byte != '/';
           });
}

std::string SkinNameFromConfig(std::string_view stored) {
    if (!stored.starts_with('/'))
        return std::string(stored);
    const auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    std::string name;
    for (size_t i = 1; i < stored.size(); ++i) {
        if (stored[i] == '%' && i + 2 < stored.size() && hex(stored[i + 1]) >= 0 &&
            hex(stored[i + 2]) >= 0) {
            name += static_cast<char>(hex(stored[i + 1]) * 16 + hex(stored[i + 2]));
            i += 2;
        } else if (stored[i] == '/') {
            return {}; // not a name we wrote: no folder name holds a "/"
        } else {
            name += stored[i];
        }
    }
    return name;
}

std::string SkinCaption(std::string_view folderName) {
    return IsValidUtf8(folderName) ? std::string(folderName) : Gb18030ToUtf8(folderName);
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
