#include "AtomicFile.h"
#include "MoConfig.h"
#include "StartupSettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace tunola;

namespace {

class ConfigFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("config-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = PathToUtf8(dir_ / "tunola.xml");
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Read(const std::string& name) const {
        std::string bytes;
        ReadWholeFile(PathFromUtf8(name), bytes);
        return bytes;
    }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(PathFromUtf8(name), std::ios::binary) << bytes;
    }

    fs::path dir_;
    std::string file_;
};

TEST_F(ConfigFile, WriteToMissingFileCreatesElementPath) {
    { TMoConfig(file_, "TUNOLA.CONFIG").WriteInteger("Window/PLAY", "PATTERN", 2); }
    const std::string xml = Read(file_);
    EXPECT_NE(xml.find("<TUNOLA.CONFIG>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<Window>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<PLAY PATTERN=\"2\"/>"), std::string::npos) << xml;

    TMoConfig again(file_, "TUNOLA.CONFIG");
    EXPECT_EQ(again.ReadInteger("Window/PLAY", "PATTERN", 1), 2);
}

TEST_F(ConfigFile, ReadOnlyUseLeavesBytesUntouched) {
    const std::string original =
        "<?xml version=\"1.0\"?>\n<TUNOLA.CONFIG>  <Window><SKIN NAME=\"Blue\"/></Window>"
        "</TUNOLA.CONFIG>\n";
    Write(file_, original);
    const auto before = fs::last_write_time(PathFromUtf8(file_));
    {
        TMoConfig config(file_, "TUNOLA.CONFIG");
        EXPECT_EQ(config.ReadString("Window/SKIN", "NAME", "Default"), "Blue");
        EXPECT_EQ(config.ReadString("Window/NOPE/DEEP", "X", "d"), "d");
        EXPECT_FALSE(config.Modified());
    }
    EXPECT_EQ(Read(file_), original);
    EXPECT_EQ(fs::last_write_time(PathFromUtf8(file_)), before);
    // Reads never create elements.
    TMoConfig config(file_, "TUNOLA.CONFIG");
    EXPECT_EQ(config.FindNode("Window/NOPE", false), nullptr);
}

TEST_F(ConfigFile, AttributesElementTextAndCase) {
    {
        TMoConfig config(file_, "TUNOLA.CONFIG");
        config.WriteString("Window/PList", "PATH", "/a/lower.pls");
        config.WriteString("Window/PLIST", "PATH", "/a/upper.pls");
        config.WriteString("Window/SKIN", "NAME", "");
        config.WriteString("Window/NOTE", "", "text & <more>");
        config.WriteString("Window/Empty", "", "");
    }
    TMoConfig config(file_, "TUNOLA.CONFIG");
    EXPECT_EQ(config.ReadString("Window/PList", "PATH", ""), "/a/lower.pls");
    EXPECT_EQ(config.ReadString("Window/PLIST", "PATH", ""), "/a/upper.pls");
    // An empty attribute reads like a missing one; element text is returned even when empty.
    EXPECT_EQ(config.ReadString("Window/SKIN", "NAME", "Default"), "Default");
    EXPECT_EQ(config.ReadString("Window/NOTE", "", "d"), "text & <more>");
    EXPECT_EQ(config.ReadString("Window/Empty", "", "d"), "");
    EXPECT_EQ(config.ReadString("window/skin", "NAME", "x"), "x");
}

TEST_F(ConfigFile, ChinesePathsRoundTrip) {
    const std::string folder = PathToUtf8(dir_ / "我的音乐");
    fs::create_directories(PathFromUtf8(folder));
    const std::string file = folder + "/配置.xml";
    const std::string value = "/home/用户/歌词 (新)/";
    { TMoConfig(file, "TUNOLA.CONFIG").WriteString("Window/LRC", "PATH", value); }
    EXPECT_EQ(TMoConfig(file, "TUNOLA.CONFIG").ReadString("Window/LRC", "PATH", ""), value);
}

TEST_F(ConfigFile, IntegerReadingRules) {
    struct Case {
        const char* text;
        int expected;
    } cases[] = {
        {"3", 3},  {"-12", -12}, {"+7", 7},   {"007", 7},         {"", 1},  {"x", 1}, {"3x", 1},
        {" 3", 1}, {"$10", 1},   {"0x10", 1}, {"99999999999", 1}, {"-", 1},
    };
    for (const Case& c : cases) {
        TMoConfig config("", "TUNOLA.CONFIG");
        config.WriteString("Window/PLAY", "PATTERN", c.text);
        EXPECT_EQ(config.ReadInteger("Window/PLAY", "PATTERN", 1), c.expected) << c.text;
    }
}

TEST_F(ConfigFile, MalformedFileIsKeptAndDefaultsApply) {
    const std::string broken = "<TUNOLA.CONFIG><Window><PLAY PATTERN=\"3\"></Window>";
    Write(file_, broken);
    {
        TMoConfig config(file_, "TUNOLA.CONFIG");
        EXPECT_TRUE(config.LoadFailed());
        EXPECT_EQ(config.ReadInteger("Window/PLAY", "PATTERN", 1), 1);
    }
    // Only read: nothing moved, nothing written.
    EXPECT_EQ(Read(file_), broken);
    { TMoConfig(file_, "TUNOLA.CONFIG").WriteString("Window/SKIN", "NAME", "Default"); }
    EXPECT_EQ(Read(file_ + ".unreadable"), broken);
    EXPECT_NE(Read(file_).find("NAME=\"Default\""), std::string::npos);
    // A second broken file does not replace the first one kept aside.
    Write(file_, "garbage");
    { TMoConfig(file_, "TUNOLA.CONFIG").WriteString("Window/SKIN", "NAME", "Default"); }
    EXPECT_EQ(Read(file_ + ".unreadable"), broken);
    EXPECT_EQ(Read(file_ + ".unreadable-2"), "garbage");
}

TEST_F(ConfigFile, EntitiesAreNotExpanded) {
    Write(file_, "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY x SYSTEM \"/etc/passwd\">]>"
                 "<TUNOLA.CONFIG><Window><LRC PATH=\"&x;\"/></Window></TUNOLA.CONFIG>");
    TMoConfig config(file_, "TUNOLA.CONFIG");
    EXPECT_EQ(config.ReadString("Window/LRC", "PATH", "d").find("root:"), std::string::npos);

    // Nested internal entities would grow to gigabytes if they were expanded on reading.
    Write(file_, "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\">"
                 "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
                 "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>"
                 "<TUNOLA.CONFIG><Window><LRC PATH=\"x&c;y\">t&c;u</LRC></Window></TUNOLA.CONFIG>");
    TMoConfig nested(file_, "TUNOLA.CONFIG");
    EXPECT_EQ(nested.ReadString("Window/LRC", "PATH", "d"), "xy");
    EXPECT_EQ(nested.ReadString("Window/LRC", "", "d"), "tu");
}

TEST_F(ConfigFile, StartupSettingsFallbacks) {
    TAppState state;
    state.UserDir = PathToUtf8(dir_) + "/";
    state.ProgramDir = "/opt/tunola/";
    Write(file_,
          "<TUNOLA.CONFIG><Window><PLAY PATTERN=\"7\"/>"
          "<LRC PATH=\"" +
              PathToUtf8(dir_) +
              "/gone\"/>"
              "<PLIST PATH=\"/nowhere/list.pls\"/><SKIN NAME=\"Blue\"/></Window></TUNOLA.CONFIG>");
    state.PlayMode = pmRandom;
    TMoConfig config(file_, kConfigRoot);
    ReadStartupSettings(config, state);
    EXPECT_EQ(state.PlayMode, pmSingle);
    EXPECT_EQ(state.LyricDir, state.UserDir + "lrc/");
    EXPECT_TRUE(fs::is_directory(dir_ / "lrc"));
    EXPECT_EQ(state.PlaylistFile, state.UserDir + "Default.pls");
    EXPECT_EQ(state.SkinName, "Default") << "Blue is not there";
    EXPECT_EQ(state.SkinDir, "/opt/tunola/skin/Default/");

    // A skin that is there is taken.
    state.ProgramDir = PathToUtf8(dir_) + "/";
    fs::create_directories(dir_ / "skin" / "Blue");
    ReadStartupSettings(config, state);
    EXPECT_EQ(state.SkinDir, state.ProgramDir + "skin/Blue/");
}

// Skin folder names are kept by their bytes: a UTF-8 name is stored as it is, other bytes in
// an escaped form that comes back unchanged, whatever the bytes.
TEST(SkinNames, StoredReversibly) {
    const struct {
        std::string folder;
        std::string stored;
    } cases[] = {
        {"Default", "Default"},
        {"夜色", "夜色"},
        {"50% off", "50% off"},
        {"\xC6\xA4\xB7\xF4", "/%C6%A4%B7%F4"},             // 皮肤 in GBK
        {"\xC6\xA4\xB7\xF4 50%", "/%C6%A4%B7%F4%2050%25"}, // space and "%" escaped too
        {"a\xFF\x01z", "/a%FF%01z"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SkinNameToConfig(c.folder), c.stored);
        EXPECT_EQ(SkinNameFromConfig(c.stored), c.folder);
    }
    for (int b = 0; b < 256; ++b) {
        const std::string name = std::string("x") + char(b) + "\x80";
        EXPECT_EQ(SkinNameFromConfig(SkinNameToConfig(name)), name) << b;
    }
    EXPECT_EQ(SkinNameFromConfig("/a/b"), "") << "not a form we write";
    EXPECT_EQ(SkinCaption("\xC6\xA4\xB7\xF4"), "皮肤");
    EXPECT_EQ(SkinCaption("Porcelain"), "Porcelain");
}

TEST_F(ConfigFile, PatternMapsToPlayModeAndBack) {
    const TPlayMode modes[] = {pmSingle, pmRepeat, pmRandom, pmOneRepeat};
    for (int pattern = 0; pattern < 4; ++pattern) {
        TAppState state;
        state.UserDir = PathToUtf8(dir_) + "/";
        {
            TMoConfig config(file_, kConfigRoot);
            config.WriteInteger("Window/PLAY", "PATTERN", pattern);
        }
        TMoConfig config(file_, kConfigRoot);
        ReadStartupSettings(config, state);
        EXPECT_EQ(state.PlayMode, modes[pattern]);
        TMoConfig out("", kConfigRoot);
        WriteCloseSettings(out, state);
        EXPECT_EQ(out.ReadInteger("Window/PLAY", "PATTERN", -1), pattern);
    }
}

TEST_F(ConfigFile, SkinFoldersSkipDotsAndFiles) {
    fs::create_directories(dir_ / "skin" / "Default");
    fs::create_directories(dir_ / "skin" / "夜色");
    fs::create_directories(dir_ / "skin" / ".hidden");
    Write(PathToUtf8(dir_ / "skin" / "readme.txt"), "x");
    const auto names = ListSkinFolders(PathToUtf8(dir_ / "skin") + "/");
    EXPECT_EQ(names, (std::vector<std::string>{"Default", "夜色"}));
}

} // namespace
