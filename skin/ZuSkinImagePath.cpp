#include "ZuSkinImagePath.h"

#include <string>
#include <vector>

namespace tunola {

TZuSkinImage ResolveSkinImage(std::string_view skinFolder, std::string_view fileName) {
    std::string name(fileName);
    for (char& c : name)
        if (c == '\\')
            c = '/';
    // "/x", "C:/x" and "//server/x" name places outside any skin.
    if (name.empty() || name.front() == '/' || (name.size() > 1 && name[1] == ':'))
        return std::nullopt;
    // The walk starts in the skin's own folder, one below the folder of all skins.
    std::string_view folder = skinFolder;
    while (!folder.empty() && (folder.back() == '/' || folder.back() == '\\'))
        folder.remove_suffix(1);
    const size_t cut = folder.find_last_of("/\\");
    const std::string_view skinsFolder =
        cut == std::string_view::npos ? std::string_view() : folder.substr(0, cut + 1);
    const std::string_view skin = cut == std::string_view::npos ? folder : folder.substr(cut + 1);
    std::vector<std::string_view> parts;
    if (!skin.empty())
        parts.push_back(skin);
    std::string_view rest = name;
    while (!rest.empty()) {
        const size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (parts.empty())
                return std::nullopt;
            parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    // The skin's folder itself, or the folder of all skins, is no picture.
    if (parts.empty() || (parts.size() == 1 && parts[0] == skin))
        return std::nullopt;
    std::string path(skinsFolder);
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            path += '/';
        path += parts[i];
    }
    return path;
}

} // namespace tunola
