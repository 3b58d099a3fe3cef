#include "Similarity.h"

#include <gtest/gtest.h>

namespace tunola {
namespace {

TEST(Similarity, Scores) {
    struct TCase {
        std::string A, B;
        bool Alike;
        int Score;
    };
    const TCase cases[] = {
        {"song singer", "song singer", false, 100},
        {"abc", "xyz", false, 0},
        {"abc", "xyz", true, 33}, // C sounds like Z
        {"bat", "pad", true, 100},
        {"bat", "pad", false, 33},
        {"", "abc", true, 0},
        {"abc", "", true, 0},
        {"song singer (live)", "song singer", true, 61},
        {"song singer", "song singer (live)", true, 61},
        {"SONG", "song", true, 100},
        {"SONG", "song", false, 0},
        // A byte only matches near its own place: the window is LA / 3 + (LA - LB).
        {"abcdefghi", "ihgfedcba", false, 11},
        {"aaaa", "a", false, 25},
        {"ab", "ba", false, 0}, // equal lengths: the window is 0
        {"sz", "zs", true, 0},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Similarity(c.A, c.B, c.Alike), c.Score) << c.A << " / " << c.B;
}

TEST(Similarity, SoundClasses) {
    const std::string classes[] = {"AE", "BP", "CZ", "DT", "FV", "GK", "IJY"};
    for (const std::string& cls : classes) {
        for (char a : cls) {
            for (char b : cls) {
                EXPECT_TRUE(CharsAlike(a, b, true)) << a << b;
                EXPECT_TRUE(CharsAlike(char(a + 32), b, true)) << a << b;
                EXPECT_EQ(CharsAlike(a, b, false), a == b) << a << b;
            }
        }
    }
    EXPECT_FALSE(CharsAlike('S', 'Z', true));
    EXPECT_FALSE(CharsAlike('S', 'C', true));
    EXPECT_FALSE(CharsAlike('A', 'B', true));
    EXPECT_FALSE(CharsAlike('1', '2', true));
    EXPECT_TRUE(CharsAlike('\xB8', '\xB8', true));
    EXPECT_FALSE(CharsAlike('[', '{', true)) << "only letters ignore case";
}

TEST(Similarity, ChineseIsMatchedOnGb18030Bytes) {
    EXPECT_EQ(MatchBytes("晴天"), "\xC7\xE7\xCC\xEC");
    EXPECT_EQ(MatchBytes("Jay 晴天"), "jay \xC7\xE7\xCC\xEC");
    // Two bytes per character, as the thresholds were made for (UTF-8 would give 85).
    EXPECT_EQ(Similarity(MatchBytes("晴天a"), MatchBytes("晴天"), true), 80);
}

} // namespace
} // namespace tunola
