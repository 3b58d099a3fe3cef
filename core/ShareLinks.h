#pragma once
// Share links: how the service's sharing page names a song and how the player reads the name
// back. Both sides build with this header, so the rotation count, the "/share/" base and the
// layout cannot drift apart. Pure functions; any thread.
//
// A link is
//   "qivra://" + PercentEncode(Rotate(address)) + "|" + title + "|" + artist + "|" + id + marker
//   + kShareLinkEnd
// where marker is "@@" (add and play) or "@p" (add only). The address of one of the service's
// own files is the relative name "mm<id>.<ext>", which the player puts behind
// "http://" + host + "/share/". Titles and artists carry no "|" (ShareLinkField replaces it).
//
// Web views do not report such a link as written (Qt's URL parser rejects or rewrites it), so
// the sharing page hands the raw href over itself: clicking a link logs
// kShareConsolePrefix + href to the page's console, where the pane picks it up, and the click's
// own navigation is cancelled by the page. A browser without the pane follows the href as usual.

#include <optional>
#include <string>
#include <string_view>

namespace tunola {

inline constexpr std::string_view kShareScheme = "qivra://"; // 8 characters
inline constexpr std::string_view kRotationAlphabet =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz:/.";
static_assert(kRotationAlphabet.size() == 65);
inline constexpr int kShareRotation = 23; // k: steps forwards when encoding, backwards decoding
static_assert(kShareRotation >= 1 && kShareRotation <= 64);
inline constexpr std::string_view kShareBasePath = "/share/";
inline constexpr std::string_view kShareLocalPrefix = "mm";
inline constexpr std::string_view kShareAddAndPlay = "@@";
inline constexpr std::string_view kShareAddOnly = "@p";
inline constexpr char kShareLinkEnd = '/';
inline constexpr std::string_view kShareConsolePrefix = "tunola-share-link:";
// The popularity request: kHotPath + identifier (marker included, not encoded).
inline constexpr std::string_view kHotPath = "/hot.asp?id=";
// Keyword links of the search sidebar carry this marker before the GBK percent-encoded keyword.
inline constexpr std::string_view kSearchKeywordMarker = "#tun#";

// Steps every alphabet character k places forwards (Rotate) or backwards (Unrotate), wrapping
// around; other characters stay.
std::string Rotate(std::string_view text, int k = kShareRotation);
std::string Unrotate(std::string_view text, int k = kShareRotation);

// Keeps ASCII letters and digits; every other byte becomes "%" and two upper-case hex digits.
std::string SharePercentEncode(std::string_view bytes);

// The player's percent decoding of share and keyword links: stops before the first "&"; "+" is
// a blank; "%" takes the next two characters as a hex number (leading blanks skipped, reading
// stops at the first non-hex digit, 0 when there is none) and both are consumed in any case.
std::string SharePercentDecode(std::string_view text);

// Title or artist made safe for a link: "|" becomes "｜", control characters become blanks.
std::string ShareLinkField(std::string_view text);

// The relative address of a song the service serves itself ("mm<id>.<ext>").
std::string ShareFileName(long long songId, std::string_view extension);

// The whole link text for a song.
std::string MakeShareLink(std::string_view address, std::string_view title, std::string_view artist,
                          std::string_view identifier, bool play);

// What the player reads out of a link (the navigation address exactly as written).
struct TShareLink {
    std::string FileName;   // playable address, trimmed ("mm…" names already behind the base)
    std::string Title;      // untrimmed
    std::string Artist;     // untrimmed
    std::string Identifier; // marker included, trimmed; what the popularity request sends
    bool Play = false;      // "@@": add and play; "@p": add only
};

// Nothing when the link is not a share link or carries neither marker. `shareBase` is
// "http://" + host + kShareBasePath.
std::optional<TShareLink> ParseShareLink(std::string_view link, std::string_view shareBase);

} // namespace tunola
