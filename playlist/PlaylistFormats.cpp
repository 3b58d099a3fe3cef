#include "PlaylistFormats.h"

#include "PercentCoding.h"

#include "PlaylistXmlReader.h"
#include "XmlSafeText.h"

#include <StreamAddress.h>
#include <TextCodec.h>

#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>

namespace tunola {

namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && Lower(text.substr(0, prefix.size())) == prefix;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

std::string_view SkipBom(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    return bytes;
}

// The first line that holds more than blanks.
std::string_view FirstLine(std::string_view text) {
    text = Trim(text);
    const size_t end = text.find_first_of("\r\n");
    return end == std::string_view::npos ? text : text.substr(0, end);
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// Removes "." and ".." segments of an absolute path; ".." never climbs above the root.
std::string CleanPath(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string& part : parts)
        out += "/" + part;
    return out.empty() ? "/" : out;
}

// A location as a list writes it -> an absolute path or an address; empty when unusable.
std::optional<TListEntry> ResolveLocation(std::string_view raw, std::string_view folder,
                                          bool uriList) {
    const std::string_view location = Trim(raw);
    if (location.empty())
        return std::nullopt;
    TListEntry entry;
    if (IsStreamAddress(location)) {
        entry.Location = std::string(location);
        entry.IsUrl = true;
        return entry;
    }
    if (StartsWithNoCase(location, "file:")) {
        const std::optional<std::string> path = LocalPathFromUri(location);
        if (!path)
            return std::nullopt;
        entry.Location = *path;
        return entry;
    }
    // Another scheme we cannot play ("spotify:", "smb://"): left out.
    const size_t colon = location.find(':');
    if (colon != std::string_view::npos && colon > 1 &&
        location.substr(0, colon).find_first_of("/\\") == std::string_view::npos)
        return std::nullopt;
    std::string path = uriList ? PercentDecodeValid(location) : std::string(location);
    // A list written on Windows separates with "\"; a location that has a "/" is a path of
    // ours, where "\" is part of a name.
    if (!uriList && path.find('/') == std::string::npos)
        std::replace(path.begin(), path.end(), '\\', '/');
    if (!path.starts_with('/')) {
        // A drive letter ("C:/Music/…") cannot be found here; keep it relative to nothing.
        if (path.size() >= 2 && path[1] == ':')
            return std::nullopt;
        std::string base(folder);
        if (!base.ends_with('/'))
            base += '/';
        path = base + path;
    }
    entry.Location = CleanPath(path);
    return entry;
}

// "Artist - Title" is how #EXTINF and PLS titles usually name both.
void SplitDisplayTitle(std::string_view text, TListEntry& entry) {
    text = Trim(text);
    const size_t dash = text.find(" - ");
    if (dash != std::string_view::npos && dash > 0 && dash + 3 < text.size()) {
        entry.Artist = std::string(Trim(text.substr(0, dash)));
        entry.Title = std::string(Trim(text.substr(dash + 3)));
    } else {
        entry.Title = std::string(text);
    }
}

double ParseSeconds(std::string_view text) {
    const std::string s(Trim(text));
    char* end = nullptr;
    const double value = std::strtod(s.c_str(), &end);
    if (end == s.c_str() || !std::isfinite(value) || value <= 0)
        return 0;
    return value;
}

std::vector<TListEntry> ParseM3u(std::string_view text, std::string_view folder) {
    std::vector<TListEntry> entries;
    std::optional<TListEntry> pending; // the #EXTINF details for the next location
    for (std::string_view line : Lines(text)) {
        line = Trim(line);
        if (line.empty())
            continue;
        if (line.starts_with('#')) {
            if (StartsWithNoCase(line, "#extinf:")) {
                TListEntry info;
                const std::string_view rest = line.substr(8);
                const size_t comma = rest.find(',');
                // "#EXTINF:123 tvg-id=…,Title": the length is the first number.
                info.Seconds = ParseSeconds(rest.substr(0, rest.find_first_of(" ,")));
                if (comma != std::string_view::npos)
                    SplitDisplayTitle(rest.substr(comma + 1), info);
                pending = std::move(info);
            }
            continue;
        }
        if (std::optional<TListEntry> entry = ResolveLocation(line, folder, false)) {
            if (pending) {
                entry->Title = std::move(pending->Title);
                entry->Artist = std::move(pending->Artist);
                entry->Seconds = pending->Seconds;
            }
            entries.push_back(std::move(*entry));
        }
        pending.reset();
    }
    return entries;
}

std::optional<std::vector<TListEntry>> ParsePls(std::string_view text, std::string_view folder) {
    struct TFields {
        std::string file, title;
        double seconds = 0;
    };
    std::map<long, TFields> byNumber;
    bool inPlaylist = false, sawSection = false;
    for (std::string_view line : Lines(text)) {
        line = Trim(line);
        if (line.empty() || line.starts_with(';') || line.starts_with('#'))
            continue;
        if (line.starts_with('[')) {
            inPlaylist = Lower(line) == "[playlist]";
            sawSection = sawSection || inPlaylist;
            continue;
        }
        if (!inPlaylist)
            continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        const std::string key = Lower(Trim(line.substr(0, eq)));
        const std::string_view value = Trim(line.substr(eq + 1));
        size_t digits = key.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(key[digits - 1])))
            --digits;
        if (digits == key.size() || key.size() - digits > 9)
            continue;
        const long n = std::stol(key.substr(digits));
        const std::string name = key.substr(0, digits);
        if (name == "file")
            byNumber[n].file = std::string(value);
        else if (name == "title")
            byNumber[n].title = std::string(value);
        else if (name == "length")
            byNumber[n].seconds = ParseSeconds(value);
    }
    if (!sawSection)
        return std::nullopt;
    std::vector<TListEntry> entries;
    for (auto& [n, fields] : byNumber) {
        std::optional<TListEntry> entry = ResolveLocation(fields.file, folder, false);
        if (!entry)
            continue;
        SplitDisplayTitle(fields.title, *entry);
        entry->Seconds = fields.seconds;
        entries.push_back(std::move(*entry));
    }
    return entries;
}

bool NameIs(const xmlNode* node, const char* name) {
    return node && node->type == XML_ELEMENT_NODE &&
           std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

std::string NodeText(const xmlNode* node) {
    std::string out;
    for (const xmlNode* c = node->children; c; c = c->next)
        if ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) && c->content)
            out += reinterpret_cast<const char*>(c->content);
    return std::string(Trim(out));
}

const xmlNode* Child(const xmlNode* node, const char* name) {
    for (const xmlNode* c = node ? node->children : nullptr; c; c = c->next)
        if (NameIs(c, name))
            return c;
    return nullptr;
}

std::optional<std::vector<TListEntry>> ParseXspf(std::string_view bytes, std::string_view folder) {
    const TXmlDocPtr doc = ParsePlaylistTree(bytes);
    const xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (!NameIs(root, "playlist"))
        return std::nullopt;
    std::vector<TListEntry> entries;
    for (const xmlNode* track = Child(Child(root, "trackList"), "track"); track;
         track = track->next) {
        if (!NameIs(track, "track"))
            continue;
        const xmlNode* location = Child(track, "location");
        if (!location)
            continue;
        std::optional<TListEntry> entry = ResolveLocation(NodeText(location), folder, true);
        if (!entry)
            continue;
        if (const xmlNode* title = Child(track, "title"))
            entry->Title = NodeText(title);
        if (const xmlNode* creator = Child(track, "creator"))
            entry->Artist = NodeText(creator);
        if (const xmlNode* duration = Child(track, "duration"))
            entry->Seconds = ParseSeconds(NodeText(duration)) / 1000.0;
        entries.push_back(std::move(*entry));
    }
    return entries;
}

bool LooksLikeText(std::string_view bytes) {
    return bytes.find('\0') == std::string_view::npos;
}

// One line each: a tag with a line break would start a new entry.
std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return text;
}

std::string DisplayTitle(const TListEntry& entry) {
    return OneLine(entry.Artist.empty() ? entry.Title : entry.Artist + " - " + entry.Title);
}

void AppendXmlText(std::string& out, std::string_view text) {
    for (const char c : XmlSafeText(text)) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
}

} // namespace

TListFormat DetectListFormat(std::string_view bytes, std::string_view fileName) {
    const std::string_view text = SkipBom(bytes);
    const std::string_view first = FirstLine(text);
    if (StartsWithNoCase(first, "#extm3u"))
        return TListFormat::M3u;
    if (Lower(first) == "[playlist]")
        return TListFormat::Pls;
    if (first.starts_with('<')) {
        // XSPF names its namespace; anything else in XML is taken as our own list and
        // checked by its reader.
        const std::string_view head = text.substr(0, 4096);
        if (head.find("http://xspf.org/ns/0/") != std::string_view::npos ||
            (head.find("<playlist") != std::string_view::npos &&
             head.find("<trackList") != std::string_view::npos))
            return TListFormat::Xspf;
        return TListFormat::Native;
    }
    const std::string name = Lower(fileName);
    if ((name.ends_with(".m3u") || name.ends_with(".m3u8")) && LooksLikeText(bytes))
        return TListFormat::M3u;
    return TListFormat::Unknown;
}

std::optional<std::vector<TListEntry>> ParseForeignList(std::string_view bytes, TListFormat format,
                                                        std::string_view listFolder) {
    switch (format) {
    // Text after a byte-order mark is taken as UTF-8 even where it is not: what cannot be
    // text becomes U+FFFD, so nothing invalid reaches the list or a list written from it.
    case TListFormat::M3u:
        return ParseM3u(XmlSafeText(DecodeTextFile(bytes)), listFolder);
    case TListFormat::Pls:
        return ParsePls(XmlSafeText(DecodeTextFile(bytes)), listFolder);
    case TListFormat::Xspf:
        return ParseXspf(bytes, listFolder);
    case TListFormat::Native:
    case TListFormat::Unknown:
        break;
    }
    return std::nullopt;
}

std::optional<std::string> LocalPathFromUri(std::string_view uri) {
    if (!StartsWithNoCase(uri, "file:"))
        return std::nullopt;
    std::string_view rest = uri.substr(5);
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        // "file://localhost/a" and "file:///a"; another host is not a local file.
        const size_t slash = rest.find('/');
        if (slash == std::string_view::npos)
            return std::nullopt;
        const std::string host = Lower(rest.substr(0, slash));
        if (!host.empty() && host != "localhost")
            return std::nullopt;
        rest.remove_prefix(slash);
    }
    if (!rest.starts_with('/'))
        return std::nullopt;
    const size_t end = rest.find_first_of("?#");
    const std::string path = PercentDecodeValid(rest.substr(0, end));
    if (path.find('\0') != std::string::npos)
        return std::nullopt;
    return CleanPath(path);
}

std::string FileUriFromPath(std::string_view path) {
    return "file://" + PercentEncode(path, [](unsigned char c) {
               return IsAsciiAlnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
           });
}

std::string WriteM3u8(const std::vector<TListEntry>& entries) {
    std::string out = "#EXTM3U\n";
    for (const TListEntry& entry : entries) {
        const long seconds = entry.Seconds > 0 ? std::lround(entry.Seconds) : -1;
        out += "#EXTINF:" + std::to_string(seconds) + "," + DisplayTitle(entry) + "\n";
        out += OneLine(entry.Location) + "\n";
    }
    return out;
}

std::string WritePls(const std::vector<TListEntry>& entries) {
    std::string out = "[playlist]\n";
    int n = 0;
    for (const TListEntry& entry : entries) {
        const std::string k = std::to_string(++n);
        out += "File" + k + "=" + OneLine(entry.Location) + "\n";
        out += "Title" + k + "=" + DisplayTitle(entry) + "\n";
        const long seconds = entry.Seconds > 0 ? std::lround(entry.Seconds) : -1;
        out += "Length" + k + "=" + std::to_string(seconds) + "\n";
    }
    out += "NumberOfEntries=" + std::to_string(n) + "\nVersion=2\n";
    return out;
}

std::string WriteXspf(const std::vector<TListEntry>& entries) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\">\n"
                      "  <trackList>\n";
    for (const TListEntry& entry : entries) {
        out += "    <track>\n      <location>";
        AppendXmlText(out, entry.IsUrl ? entry.Location : FileUriFromPath(entry.Location));
        out += "</location>\n";
        if (!entry.Title.empty()) {
            out += "      <title>";
            AppendXmlText(out, entry.Title);
            out += "</title>\n";
        }
        if (!entry.Artist.empty()) {
            out += "      <creator>";
            AppendXmlText(out, entry.Artist);
            out += "</creator>\n";
        }
        if (entry.Seconds > 0)
            out += "      <duration>" + std::to_string(std::llround(entry.Seconds * 1000)) +
                   "</duration>\n";
        out += "    </track>\n";
    }
    out += "  </trackList>\n</playlist>\n";
    return out;
}

} // namespace tunola
