#include "ShareLinks.h"

#include "PercentCoding.h"

namespace tunola {

namespace {

constexpr int kAlphabetSize = static_cast<int>(kRotationAlphabet.size());

std::string Step(std::string_view text, int k) {
    std::string out(text);
    for (char& c : out) {
        const size_t p = kRotationAlphabet.find(c);
        if (p == std::string_view::npos)
            continue;
        const int q = ((static_cast<int>(p) + k) % kAlphabetSize + kAlphabetSize) % kAlphabetSize;
        c = kRotationAlphabet[static_cast<size_t>(q)];
    }
    return out;
}

// Blanks and control characters at both ends go, as the player's trim does.
std::string_view Trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

// The text before the first "|" (empty when there is none); removes it and its "|" from `s`
// (nothing is removed when there is no "|").
std::string TakeField(std::string& s) {
    const size_t bar = s.find('|');
    if (bar == std::string::npos)
        return {};
    std::string field = s.substr(0, bar);
    s.erase(0, bar + 1);
    return field;
}

} // namespace

std::string Rotate(std::string_view text, int k) {
    return Step(text, k);
}
std::string Unrotate(std::string_view text, int k) {
    return Step(text, -k);
}

std::string SharePercentEncode(std::string_view bytes) {
    return PercentEncode(bytes, IsAsciiAlnum);
}

std::string SharePercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size() && text[i] != '&'; ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%') {
            const std::string_view pair = text.substr(i + 1, 2);
            size_t j = 0;
            while (j < pair.size() && pair[j] == ' ')
                ++j;
            int value = 0;
            for (; j < pair.size() && HexDigitValue(pair[j]) >= 0; ++j)
                value = value * 16 + HexDigitValue(pair[j]);
            out += static_cast<char>(value);
            i += pair.size();
        } else {
            out += c;
        }
    }
    return out;
}

std::string ShareLinkField(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '|')
            out += "\xEF\xBD\x9C"; // U+FF5C FULLWIDTH VERTICAL LINE
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            out += ' ';
        else
            out += c;
    }
    return out;
}

std::string ShareFileName(long long songId, std::string_view extension) {
    std::string name(kShareLocalPrefix);
    name += std::to_string(songId);
    if (!extension.empty()) {
        name += '.';
        name += extension;
    }
    return name;
}

std::string MakeShareLink(std::string_view address, std::string_view title, std::string_view artist,
                          std::string_view identifier, bool play) {
    std::string link(kShareScheme);
    link += SharePercentEncode(Rotate(address));
    link += '|';
    link += ShareLinkField(title);
    link += '|';
    link += ShareLinkField(artist);
    link += '|';
    link += identifier;
    link += play ? kShareAddAndPlay : kShareAddOnly;
    link += kShareLinkEnd;
    return link;
}

std::optional<TShareLink> ParseShareLink(std::string_view link, std::string_view shareBase) {
    if (link.substr(0, 5) != kShareScheme.substr(0, 5) || link.empty())
        return std::nullopt;
    const std::string_view shortened = link.substr(0, link.size() - 1);
    if (shortened.size() < 2)
        return std::nullopt;
    const std::string_view marker = shortened.substr(shortened.size() - 2);
    if (marker != kShareAddAndPlay && marker != kShareAddOnly)
        return std::nullopt;

    std::string s(shortened.size() > kShareScheme.size() ? shortened.substr(kShareScheme.size())
                                                         : std::string_view());
    const size_t bar = s.find('|');
    const std::string encoded = s.substr(0, bar == std::string::npos ? 0 : bar);
    if (bar != std::string::npos)
        s.erase(0, bar);
    std::string address = Unrotate(SharePercentDecode(encoded));
    if (address.starts_with(kShareLocalPrefix))
        address = std::string(shareBase) + address;
    s = address + s;

    TShareLink result;
    result.FileName = std::string(Trim(TakeField(s)));
    result.Title = TakeField(s);
    result.Artist = TakeField(s);
    result.Identifier = std::string(Trim(s));
    result.Play = marker == kShareAddAndPlay;
    return result;
}

} // namespace tunola
