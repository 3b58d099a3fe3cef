#include "MusicScan.h"

#include "AtomicFile.h"

#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <algorithm>
#include <chrono>
#include <system_error>

namespace tunola::service {

namespace {

struct TType {
    std::string_view Extension, ContentType;
};
constexpr TType kTypes[] = {
    {"mp3", "audio/mpeg"}, {"mp2", "audio/mpeg"}, {"mp1", "audio/mpeg"},  {"ogg", "audio/ogg"},
    {"wav", "audio/wav"},  {"aif", "audio/aiff"}, {"aiff", "audio/aiff"}, {"flac", "audio/flac"},
};

std::string LowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return s;
}

bool IsInside(const std::filesystem::path& real, const std::filesystem::path& realRoot) {
    auto r = realRoot.begin();
    auto p = real.begin();
    for (; r != realRoot.end(); ++r, ++p) {
        if (r->empty())
            continue; // trailing separator
        if (p == real.end() || *p != *r)
            return false;
    }
    return true;
}

std::string Trimmed(std::string s) {
    const size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos)
        return {};
    const size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

} // namespace

std::optional<std::string_view> ContentTypeOf(std::string_view extension) {
    for (const TType& t : kTypes)
        if (t.Extension == extension)
            return t.ContentType;
    return std::nullopt;
}

std::vector<TScanEntry> ScanMusicFolder(const std::filesystem::path& root) {
    std::vector<TScanEntry> entries;
    std::error_code ec;
    const std::filesystem::path realRoot = std::filesystem::canonical(root, ec);
    if (ec)
        return entries;
    std::filesystem::recursive_directory_iterator it(
        realRoot, std::filesystem::directory_options::skip_permission_denied, ec);
    for (; !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        const std::filesystem::directory_entry& entry = *it;
        std::error_code fe;
        if (!entry.is_regular_file(fe))
            continue;
        const std::string extension =
            LowerAscii(PathToUtf8(entry.path().extension())).substr(entry.path().has_extension());
        if (!ContentTypeOf(extension))
            continue;
        const std::filesystem::path real = std::filesystem::canonical(entry.path(), fe);
        if (fe || !IsInside(real, realRoot))
            continue;
        TScanEntry e;
        e.Path = PathToUtf8(entry.path().lexically_relative(realRoot).generic_string());
        e.Extension = extension;
        e.Size = static_cast<int64_t>(entry.file_size(fe));
        e.MTime = std::chrono::duration_cast<std::chrono::seconds>(
                      entry.last_write_time(fe).time_since_epoch())
                      .count();
        TagLib::FileRef file(entry.path().c_str(), false);
        if (!file.isNull() && file.tag()) {
            e.Title = Trimmed(file.tag()->title().to8Bit(true));
            e.Artist = Trimmed(file.tag()->artist().to8Bit(true));
            e.Album = Trimmed(file.tag()->album().to8Bit(true));
        }
        if (e.Title.empty())
            e.Title = PathToUtf8(entry.path().stem());
        entries.push_back(std::move(e));
    }
    std::sort(entries.begin(), entries.end(),
              [](const TScanEntry& a, const TScanEntry& b) { return a.Path < b.Path; });
    return entries;
}

std::optional<std::filesystem::path> ResolveInside(const std::filesystem::path& root,
                                                   std::string_view relative) {
    if (relative.empty() || relative.front() == '/' || relative.find('\0') != relative.npos)
        return std::nullopt;
    const std::filesystem::path rel = PathFromUtf8(relative);
    for (const auto& part : rel)
        if (part == "..")
            return std::nullopt;
    std::error_code ec;
    const std::filesystem::path realRoot = std::filesystem::canonical(root, ec);
    if (ec)
        return std::nullopt;
    const std::filesystem::path real = std::filesystem::canonical(realRoot / rel, ec);
    if (ec || !IsInside(real, realRoot) || !std::filesystem::is_regular_file(real, ec))
        return std::nullopt;
    return real;
}

} // namespace tunola::service
