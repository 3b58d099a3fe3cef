#include "NetPlaylist.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>

namespace tunaudio {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && Lower(s.substr(0, prefix.size())) == prefix;
}

template <typename F> void ForEachLine(std::string_view text, F&& f) {
    while (!text.empty()) {
        const size_t nl = text.find_first_of("\r\n");
        f(Trim(text.substr(0, nl)));
        if (nl == std::string_view::npos)
            break;
        text.remove_prefix(nl + 1);
    }
}

} // namespace

bool IsHttpUrl(std::string_view url) {
    return StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://");
}

bool LooksLikePlaylist(std::string_view contentType, std::string_view url,
                       std::string_view firstBytes) {
    std::string type = Lower(Trim(contentType.substr(0, contentType.find(';'))));
    for (std::string_view t :
         {"audio/x-scpls", "audio/scpls", "application/pls+xml", "audio/x-mpegurl", "audio/mpegurl",
          "application/x-mpegurl", "application/vnd.apple.mpegurl"})
        if (type == t)
            return true;
    std::string path = Lower(url.substr(0, url.find_first_of("?#")));
    for (std::string_view ext : {".pls", ".m3u", ".m3u8"})
        if (path.size() >= ext.size() &&
            path.compare(path.size() - ext.size(), ext.size(), ext) == 0)
            return true;
    std::string_view head = firstBytes;
    if (head.size() >= 3 && head.substr(0, 3) == "\xEF\xBB\xBF")
        head.remove_prefix(3);
    head = Trim(head);
    return StartsWithNoCase(head, "[playlist]") || StartsWithNoCase(head, "#extm3u");
}

std::string FirstPlaylistEntry(std::string_view text) {
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    const bool pls = StartsWithNoCase(Trim(text), "[playlist]");
    std::string best;
    if (pls) {
        long bestIndex = LONG_MAX;
        ForEachLine(text, [&](std::string_view line) {
            if (!StartsWithNoCase(line, "file"))
                return;
            const size_t eq = line.find('=');
            if (eq == std::string_view::npos)
                return;
            const std::string_view number = Trim(line.substr(4, eq - 4));
            long index = 0;
            const auto [ptr, ec] =
                std::from_chars(number.data(), number.data() + number.size(), index);
            if (ec != std::errc() || ptr != number.data() + number.size())
                return;
            const std::string_view value = Trim(line.substr(eq + 1));
            if (!value.empty() && index < bestIndex) {
                bestIndex = index;
                best = std::string(value);
            }
        });
        return best;
    }
    bool found = false;
    ForEachLine(text, [&](std::string_view line) {
        if (found || line.empty() || line.front() == '#')
            return;
        best = std::string(line);
        found = true;
    });
    return best;
}

std::string ResolveUrl(std::string_view base, std::string_view reference) {
    const size_t colon = reference.find(':');
    const size_t slash = reference.find('/');
    if (colon != std::string_view::npos && (slash == std::string_view::npos || colon < slash))
        return std::string(reference); // has a scheme
    const size_t schemeEnd = base.find("://");
    if (schemeEnd == std::string_view::npos)
        return std::string(reference);
    if (reference.substr(0, 2) == "//")
        return std::string(base.substr(0, schemeEnd + 1)) + std::string(reference);
    const size_t authorityEnd = base.find_first_of("/?#", schemeEnd + 3);
    const std::string_view origin = base.substr(0, authorityEnd);
    if (!reference.empty() && reference.front() == '/')
        return std::string(origin) + std::string(reference);
    std::string_view path =
        authorityEnd == std::string_view::npos ? std::string_view("/") : base.substr(authorityEnd);
    path = path.substr(0, path.find_first_of("?#"));
    const size_t lastSlash = path.rfind('/');
    const std::string_view dir =
        lastSlash == std::string_view::npos ? std::string_view("/") : path.substr(0, lastSlash + 1);
    return std::string(origin) + std::string(dir) + std::string(reference);
}

} // namespace tunaudio
