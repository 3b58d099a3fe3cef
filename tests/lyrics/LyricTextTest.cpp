#include "LyricText.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace tunola {
namespace {

TEST(LyricText, EncodingsAreRecognised) {
    struct TCase {
        const char* What;
        std::string Bytes;
    };
    // "[ti:晴天]" in every encoding a lyric file comes in.
    const TCase cases[] = {
        {"UTF-8", "[ti:\xE6\x99\xB4\xE5\xA4\xA9]"},
        {"UTF-8 with BOM", "\xEF\xBB\xBF[ti:\xE6\x99\xB4\xE5\xA4\xA9]"},
        {"GBK", "[ti:\xC7\xE7\xCC\xEC]"},
        {"UTF-16 LE", std::string("\xFF\xFE[\0t\0i\0:\0\x74\x66\x29\x59]\0", 16)},
        {"UTF-16 BE", std::string("\xFE\xFF\0[\0t\0i\0:\x66\x74\x59\x29\0]", 16)},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(DecodeLyricFile(c.Bytes), "[ti:晴天]") << c.What;
}

TEST(LyricText, LineEndsBecomeCrLf) {
    EXPECT_EQ(DecodeLyricFile("a\nb\rc\r\nd\n\re\r\r"), "a\r\nb\r\nc\r\nd\r\n\r\ne\r\n\r\n");
    EXPECT_EQ(DecodeLyricFile(""), "");
}

TEST(LyricText, ReadsFilesAndRefusesWhatIsNoLyric) {
    TTempFolder folder;
    const auto gbk = folder.Write("gbk.lrc", "[00:01]\xC4\xE3\xBA\xC3\n");
    EXPECT_EQ(ReadLyricFile(gbk), "[00:01]你好\r\n");
    EXPECT_FALSE(ReadLyricFile(folder.Path() / "missing.lrc"));
    EXPECT_FALSE(ReadLyricFile(folder.Path())) << "a folder";

    const auto huge = folder.Write("huge.lrc", "");
    std::filesystem::resize_file(huge, kMaxLyricFileBytes + 1); // sparse, costs no disk
    EXPECT_FALSE(ReadLyricFile(huge));
}

} // namespace
} // namespace tunola
