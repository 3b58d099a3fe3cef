// Title and artist: TagLib for every container, and old Chinese tags written in GBK.

#include "AudioFixtures.h"
#include "AudioLibrary.h"
#include "TagText.h"

#include <gtest/gtest.h>

namespace tunaudio {
namespace {

using test::FixtureDir;
namespace fs = std::filesystem;

// GBK bytes and their text.
const std::string kMoonGbk = "\xD4\xC2\xC1\xC1\xB4\xFA\xB1\xED\xCE\xD2\xB5\xC4\xD0\xC4";
const std::string kMoonUtf8 = "月亮代表我的心";
const std::string kSingerGbk = "\xB5\xCB\xC0\xF6\xBE\xFD";
const std::string kSingerUtf8 = "邓丽君";

TEST(TagText, LegacyBytesBecomeTheRightText) {
    struct Case {
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {std::string("Hello  \0\0\0", 10), "Hello"},
        {kMoonGbk, kMoonUtf8},
        {"Jay\xD6\xDC\xBD\xDC\xC2\xD7", "Jay周杰伦"},
        {"\xC4\xE3\xBA\xC3\xC4", "你好"}, // a field that cut the last character in half
        {"你好 UTF-8", "你好 UTF-8"},
        {"Mot\xF6rhead", "Motörhead"},
        {"Beyonc\xE9", "Beyoncé"},
        {"Caf\xE9 del Mar", "Café del Mar"},
        {"\xC0 la carte", "À la carte"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeLegacyTagText(c.bytes), c.text) << c.bytes;
    EXPECT_TRUE(LooksLikeGbk(kSingerGbk));
    EXPECT_FALSE(LooksLikeGbk("Mot\xF6rhead"));
    EXPECT_FALSE(LooksLikeGbk("plain"));
}

std::string Id3v1(const std::string& title, const std::string& artist) {
    std::string tag = "TAG";
    const auto field = [&tag](const std::string& s, size_t n) {
        tag += s.substr(0, n) + std::string(n - std::min(n, s.size()), '\0');
    };
    field(title, 30);
    field(artist, 30);
    field("", 30);
    field("2001", 4);
    field("", 30);
    tag += '\xFF';
    return tag;
}

std::string Be32(uint32_t v) {
    return {char(v >> 24), char(v >> 16 & 0xFF), char(v >> 8 & 0xFF), char(v & 0xFF)};
}

// An ID3v2.3 tag with text frames, each given with its encoding byte.
std::string Id3v2(const std::vector<std::pair<std::string, std::string>>& frames) {
    std::string body;
    for (const auto& [id, data] : frames)
        body += id + Be32(static_cast<uint32_t>(data.size())) + std::string(2, '\0') + data;
    const auto n = static_cast<uint32_t>(body.size());
    std::string head = "ID3\x03";
    head += '\0';
    head += '\0';
    for (int shift : {21, 14, 7, 0})
        head += static_cast<char>((n >> shift) & 0x7F);
    return head + body;
}

class Tags : public testing::Test {
protected:
    static std::string PlainMp3() {
        static const std::string bytes = test::ReadFile(test::EncodeMp3(
            test::WriteWav("tags.wav", 44100, 1, 4410, test::Sine(440, 44100)), "plain.mp3"));
        return bytes;
    }

    std::pair<std::string, std::string> Read(const std::string& name, const std::string& bytes) {
        const fs::path path = FixtureDir() / name;
        test::WriteFile(path, bytes);
        const HSTREAM h = lib.StreamCreateFile(false, path.string(), 0, 0, kStreamDecode);
        EXPECT_NE(h, 0u) << name;
        auto tags = std::make_pair(lib.TagsRead(h, "%TITL"), lib.TagsRead(h, "%ARTI"));
        // The same bytes from memory give the same answer.
        const HSTREAM m = lib.StreamCreateFile(true, bytes, 0, 0, kStreamDecode);
        EXPECT_EQ(lib.TagsRead(m, "%TITL|%ARTI"), tags.first + "|" + tags.second) << name;
        lib.StreamFree(h);
        lib.StreamFree(m);
        return tags;
    }

    TAudioLibrary lib{FixtureDir().string()};
};

TEST_F(Tags, GbkInId3v1) {
    EXPECT_EQ(Read("v1.mp3", PlainMp3() + Id3v1(kMoonGbk, kSingerGbk)),
              std::make_pair(kMoonUtf8, kSingerUtf8));
    EXPECT_EQ(Read("v1-latin.mp3", PlainMp3() + Id3v1("Beyonc\xE9", "Ren\xE9")),
              std::make_pair(std::string("Beyoncé"), std::string("René")));
}

TEST_F(Tags, Id3v2FramesByTheirEncodingAndBeforeId3v1) {
    const std::string utf16 = std::string("\x01\xFF\xFE", 3) + std::string("\x93\x90\x3D\x4E", 4);
    const std::string tag = Id3v2({{"TIT2", std::string(1, '\0') + kMoonGbk}, {"TPE1", utf16}});
    EXPECT_EQ(Read("v2.mp3", tag + PlainMp3() + Id3v1("Old title", "Old artist")),
              std::make_pair(kMoonUtf8, std::string("邓丽")));
    EXPECT_EQ(Read("none.mp3", PlainMp3()), std::make_pair(std::string(), std::string()));
}

TEST_F(Tags, OggWavAndAiff) {
    const fs::path wav = test::WriteWav("tagged.wav", 8000, 1, 800, test::Sine(440, 8000));
    const fs::path ogg = test::EncodeOgg(wav, "tagged.ogg", {"-t", kMoonUtf8, "-a", kSingerUtf8});
    EXPECT_EQ(Read("tagged.ogg", test::ReadFile(ogg)), std::make_pair(kMoonUtf8, kSingerUtf8));

    // A RIFF INFO list, as Chinese editors wrote it: GBK.
    std::string bytes = test::ReadFile(wav);
    const auto le32 = [](uint32_t v) {
        return std::string{char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF),
                           char(v >> 24)};
    };
    const std::string inam = kMoonGbk + std::string(1, '\0');
    const std::string iart = kSingerGbk + std::string(1, '\0');
    std::string list = "INFOINAM" + le32(uint32_t(inam.size())) + inam + '\0' + "IART" +
                       le32(uint32_t(iart.size())) + iart + '\0';
    bytes += "LIST" + le32(uint32_t(list.size())) + list;
    bytes.replace(4, 4, le32(uint32_t(bytes.size() - 8)));
    EXPECT_EQ(Read("info.wav", bytes), std::make_pair(kMoonUtf8, kSingerUtf8));

    const fs::path aif = test::WriteAiff("plain.aif", 8000, 1, 800, test::Sine(440, 8000));
    EXPECT_EQ(Read("plain.aif", test::ReadFile(aif)), std::make_pair(std::string(), std::string()));
}

} // namespace
} // namespace tunaudio
