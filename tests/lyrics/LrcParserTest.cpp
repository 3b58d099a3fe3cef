#include "LrcParser.h"
#include "LrcTimeTag.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace tunola {
namespace {

struct TTimed {
    int32_t Time;
    std::string Text;
    bool operator==(const TTimed&) const = default;
};

void PrintTo(const TTimed& t, std::ostream* os) {
    *os << "{" << t.Time << ", \"" << t.Text << "\"}";
}

std::vector<TTimed> Timed(std::string_view text) {
    std::vector<TTimed> out;
    for (const TLyricItem& line : ParseLrc(text).Lines)
        out.push_back({line.Time, line.Text});
    return out;
}

TEST(LrcParser, TagsInARowShareTheirTextButABlankBetweenThemDoesNot) {
    EXPECT_EQ(Timed("[00:12.00][01:30.00]Chorus\r\n"),
              (std::vector<TTimed>{{12000, "Chorus"}, {90000, "Chorus"}}));
    EXPECT_EQ(Timed("[00:12.00] [01:30.00]Chorus\r\n"),
              (std::vector<TTimed>{{12000, ""}, {90000, "Chorus"}}));
    EXPECT_EQ(
        Timed("[00:01][00:02][00:03]  three  \r\n[00:04]four"),
        (std::vector<TTimed>{{1000, "three"}, {2000, "three"}, {3000, "three"}, {4000, "four"}}));
}

TEST(LrcParser, TimeTagForms) {
    struct TCase {
        std::string Tag;
        int32_t Time;
        std::string TimeText;
    };
    const TCase cases[] = {
        {"[5]", 5000, "5"},
        {"[1:02]", 62000, "1:02"},
        {"[1:02:03]", 3723000, "1:02:03"},
        {"[12.5]", 12050, "12.5"},
        {"[00:12.5]", 12050, "00:12.5"},
        {"[00:12.345]", 12450, "00:12.45"},
        {"[01:02:03.04]", 3723040, "01:02:03.04"},
        {"[123:00]", 23 * 60000, "23:00"},
        {"[1 : 2 ]", 62000, "1:2"},
        {"[0]", 0, "0"},
        {"[-00:01.00]", -1000, "-00:01.00"},
        {"[-00:00.00]", 0, "00:00.00"},
        {"[-5]", -5000, "-5"},
        {"[- 5]", -5000, "-5"},
        {"[99:99:99.99]", 362439990, "99:99:99.99"},
        {"[0099:0099:0099.0099]", 362439990, "99:99:99.99"},
    };
    for (const TCase& c : cases) {
        const TParsedLrc parsed = ParseLrc(c.Tag + "text\r\n");
        ASSERT_EQ(parsed.Lines.size(), 1u) << c.Tag;
        EXPECT_EQ(parsed.Lines[0].Time, c.Time) << c.Tag;
        EXPECT_EQ(parsed.Lines[0].TimeText, c.TimeText) << c.Tag;
        EXPECT_EQ(parsed.Lines[0].Text, "text") << c.Tag;
    }
}

TEST(LrcParser, MalformedTagsStayTextAndTheNextTagIsStillRead) {
    // Each bad tag sits inside the text of a good line and must be left there.
    const std::string bad[] = {"[1:2:3:4]",   "[1.2.3]", "[1:]",   "[1:2x]",  "[1:2.3 4]",
                               "[1:2.3:4]",   "[-]",     "[ -1]",  "[xyz]",   "[title:x]",
                               "[ar tist:x]", "[1;2]",   "[a1:2]", "[1:2.3.]"};
    for (const std::string& tag : bad) {
        EXPECT_EQ(Timed("[00:01]a " + tag + " b\r\n[00:02]c\r\n"),
                  (std::vector<TTimed>{{1000, "a " + tag + " b"}, {2000, "c"}}))
            << tag;
    }
}

TEST(LrcParser, TextEndsAtTheLineEndWhateverItIs) {
    // Untagged lines belong to no lyric line, with any of the three line ends.
    for (std::string eol : {"\r\n", "\n", "\r"}) {
        const std::string text = "header" + eol + "[00:01]one" + eol + "untagged" + eol +
                                 "[00:02]two" + eol + eol + "[00:03]" + eol + "tail" + eol;
        EXPECT_EQ(Timed(text), (std::vector<TTimed>{{1000, "one"}, {2000, "two"}, {3000, ""}}))
            << "line end " << int(eol.back());
    }
}

TEST(LrcParser, IdentificationTags) {
    for (std::string tag : {"[Ti:Song]", "[TI:Song]", "[ti : Song ]", "[tI:\tSong\t]"})
        EXPECT_EQ(ParseLrc(tag + "\r\n[00:01]x").Info.Title, "Song") << tag;

    const TParsedLrc all = ParseLrc("[ar:Singer]\r\n[al:Album]\r\n[by:Maker]\r\n[la:zh]\r\n"
                                    "[ti:First]\r\n[ti:Second]\r\n[offset:-300]\r\n");
    EXPECT_EQ(all.Info.Artist, "Singer");
    EXPECT_EQ(all.Info.Album, "Album");
    EXPECT_EQ(all.Info.By, "Maker");
    EXPECT_EQ(all.Info.Language, "zh");
    EXPECT_EQ(all.Info.Title, "Second") << "a later tag of the same name wins";
    EXPECT_EQ(all.Info.Offset, -300);
    EXPECT_TRUE(all.Lines.empty());

    struct TOffset {
        std::string Tag;
        int32_t Offset;
    };
    const TOffset offsets[] = {
        {"[offset:abc]", 0},  {"[OFFSET: 250 ]", 250},     {"[offset:+20]", 20},
        {"[offset:12ms]", 0}, {"[offset:99999999999]", 0}, {"[offset:-2147483648]", INT32_MIN},
        {"[offset:]", 0},     {"[offset:--1]", 0}};
    for (const TOffset& c : offsets)
        EXPECT_EQ(ParseLrc(c.Tag + "\r\n[00:01]x").Info.Offset, c.Offset) << c.Tag;
    EXPECT_EQ(ParseLrc("[offset:100]\r\n[offset:bad]\r\n[00:01]x").Info.Offset, 100)
        << "an invalid offset keeps the earlier value";

    // A value ends at the line end when the "]" comes later.
    EXPECT_EQ(ParseLrc("[ti:Broken\r\n[00:01]x]\r\n").Info.Title, "Broken");
}

TEST(LrcParser, IdentificationTagBetweenTimeTagAndTextCutsTheText) {
    // The text of a time tag runs up to the next tag, identification tags included; text after
    // the identification tag belongs to no line.
    EXPECT_EQ(Timed("[00:01]a [ar:X] b\r\n[00:02]c"),
              (std::vector<TTimed>{{1000, "a"}, {2000, "c"}}));
    EXPECT_EQ(ParseLrc("[00:01]a [ar:X] b\r\n[00:02]c").Info.Artist, "X");
}

TEST(LrcParser, TagNearTheEndOfTheTextIsText) {
    // A "[" needs five characters behind it to start a tag.
    EXPECT_EQ(Timed("[00:01]ab[1:2]"), (std::vector<TTimed>{{1000, "ab[1:2]"}}));
    EXPECT_EQ(Timed("[00:01]ab[12:3]"), (std::vector<TTimed>{{1000, "ab"}, {723000, ""}}));
    // Trailing blanks do not count: the text is trimmed first.
    EXPECT_EQ(Timed("[00:01]ab[1:2]  \r\n\r\n"), (std::vector<TTimed>{{1000, "ab[1:2]"}}));
    EXPECT_EQ(Timed("[00:01]"), (std::vector<TTimed>{{1000, ""}}));
    EXPECT_TRUE(Timed("[1:2]").empty());
}

TEST(LrcParser, ShortOrTaglessTextsGiveNothing) {
    for (std::string text : {"", "[1]", " [1]  ", "\r\n\r\n", "just words\r\nno tags", "[[[[[[",
                             "]]]]]]]", "[00:01", "[ti:no end"}) {
        const TParsedLrc parsed = ParseLrc(text);
        EXPECT_TRUE(parsed.Lines.empty()) << text;
        EXPECT_EQ(parsed.Info, TLRCInfo{}) << text;
    }
}

TEST(LrcParser, MultiByteTextPassesThrough) {
    EXPECT_EQ(Timed("[ti:晴天]\r\n[00:01.00]故事的小黄花 [00:02.00]从出生那年就飘着\r\n"),
              (std::vector<TTimed>{{1000, "故事的小黄花"}, {2000, "从出生那年就飘着"}}));
    // Bytes of 0x80 and above between tokens are skipped like blanks.
    EXPECT_EQ(Timed(std::string("[00\xA1\xA1:01]x\r\n")), (std::vector<TTimed>{{1000, "x"}}));
}

TEST(LrcTimeTag, GroupsThatFitNoFormGiveNothing) {
    for (std::string_view text : {"", "-", "5.", "1:2:3:4", ":", "1::2", "a"}) {
        const TLrcTime t = ConvertTimeTag(text);
        EXPECT_EQ(t.Time, 0) << text;
        EXPECT_EQ(t.TimeText, "") << text;
    }
}

} // namespace
} // namespace tunola
