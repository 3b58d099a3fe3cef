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
    std::vector<std::string_view> parts;
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
    if (parts.empty())
        return std::nullopt;
    std::string path(skinFolder);
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            path += '/';
        path += parts[i];
    }
    return path;
}

} // namespace tunola
