#include "PluginText.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tunola_plugins {

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return {};
}

bool ReplaceFile(const std::string& path, const std::string& text) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target(path);
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), ec);
    const std::string temp = path + ".tmp" + std::to_string(getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            out.close();
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

std::string OneField(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    return text;
}

std::string BaseName(const std::string& fileName) {
    std::string name = fileName;
    if (const size_t slash = name.find_last_of('/'); slash != std::string::npos)
        name.erase(0, slash + 1);
    if (const size_t dot = name.find_last_of('.'); dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

} // namespace tunola_plugins
