#include "ShareLinks.h"

#include <gtest/gtest.h>

namespace tunola {
namespace {

constexpr std::string_view kBase = "http://127.0.0.1:7860/share/";

TEST(ShareLinks, RotationStepsTheAlphabetAndKeepsOtherCharacters) {
    // k places forwards with wrap-around: '0' is position 1, '.' position 65.
    EXPECT_EQ(Rotate("0", 1), "1");
    EXPECT_EQ(Rotate(".", 1), "0");
    EXPECT_EQ(Unrotate("0", 1), ".");
    EXPECT_EQ(Rotate("0", 64), ".");
    EXPECT_EQ(Rotate("a%?=&-_", 2), "c%?=&-_");
    const std::string address = "http://example.org/music/x.mp3?a=1&b=%20";
    for (int k = 1; k <= 64; ++k)
        EXPECT_EQ(Unrotate(Rotate(address, k), k), address) << k;
    EXPECT_NE(Rotate(address), address);
}

TEST(ShareLinks, PercentDecodingFollowsThePlayersRules) {
    struct Case {
        std::string_view in, out;
    } cases[] = {
        {"a%41+b&c", "aA b"}, // stops at "&"
        {"%4", std::string_view("\x04", 1)},
        {"%zz1", std::string_view("\0"
                                  "1",
                                  2)}, // no digit: value 0, both consumed
        {"% 9x", "\x09x"},             // leading blank skipped
        {"%C7%E7", "\xC7\xE7"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SharePercentDecode(c.in), c.out) << c.in;
    EXPECT_EQ(SharePercentEncode("a b-1"), "a%20b%2D1");
}

TEST(ShareLinks, ServiceLinksReadBackAsThePlayerParsesThem) {
    struct Case {
        std::string address, title, artist;
        bool play;
        std::string fileName; // what the player plays
    } cases[] = {
        {"mm12.mp3", "晴天", "周杰伦", true, std::string(kBase) + "mm12.mp3"},
        {"mm7.ogg", "100% Pure @@ Love", "A&B <x>", false, std::string(kBase) + "mm7.ogg"},
        {"mm8.wav", "ends with @p", "#tag ?q", true, std::string(kBase) + "mm8.wav"},
        {"http://radio.example/live.mp3?x=1&y=2", "Live", "", true,
         "http://radio.example/live.mp3?x=1&y=2"},
    };
    for (const Case& c : cases) {
        const std::string link = MakeShareLink(c.address, c.title, c.artist, "42", c.play);
        ASSERT_TRUE(link.starts_with("qivra://")) << link;
        const std::optional<TShareLink> parsed = ParseShareLink(link, kBase);
        ASSERT_TRUE(parsed) << link;
        EXPECT_EQ(parsed->FileName, c.fileName);
        EXPECT_EQ(parsed->Title, c.title);
        EXPECT_EQ(parsed->Artist, c.artist);
        EXPECT_EQ(parsed->Identifier, c.play ? "42@@" : "42@p");
        EXPECT_EQ(parsed->Play, c.play);
    }
}

TEST(ShareLinks, BarsInTagsCannotBreakTheLink) {
    const std::string link = MakeShareLink("mm1.mp3", "a|b", "c|d\ne", "1", true);
    const std::optional<TShareLink> parsed = ParseShareLink(link, kBase);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->Title, "a｜b");
    EXPECT_EQ(parsed->Artist, "c｜d e");
    EXPECT_EQ(parsed->Identifier, "1@@");
}

TEST(ShareLinks, OnlyTheSchemeAndAMarkerMakeAShareLink) {
    EXPECT_FALSE(ParseShareLink("http://example.org/@@/", kBase));
    EXPECT_FALSE(ParseShareLink("Qivra://x|t|a|1@@/", kBase)); // case matters
    EXPECT_FALSE(ParseShareLink("qivra://x|t|a|1@x/", kBase)); // neither marker
    EXPECT_FALSE(ParseShareLink("qivra", kBase));
    EXPECT_FALSE(ParseShareLink("", kBase));
    // The final character is dropped unread, whatever it is.
    const std::optional<TShareLink> p = ParseShareLink("qivra://x|t|a| 9@pZ", kBase);
    ASSERT_TRUE(p);
    EXPECT_FALSE(p->Play);
    EXPECT_EQ(p->Identifier, "9@p");
    EXPECT_EQ(p->Title, "t");
}

} // namespace
} // namespace tunola
