// The FLAC add-on, loaded from the program folder as the player loads "b_*" add-ons.

#include "AudioFixtures.h"
#include "AudioLibrary.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

namespace tunaudio {
namespace {

using namespace std::chrono_literals;
using test::FixtureDir;
namespace fs = std::filesystem;

constexpr int64_t kFrames = 30000;

fs::path FlacFixture() {
    static const fs::path path = test::EncodeFlac(
        test::WriteWav("addon.wav", 44100, 2, kFrames, test::Sine(440, 44100, 0.6)), "addon.flac",
        {"-T", "TITLE=\xE6\xB5\x8B\xE8\xAF\x95", "-T", "ARTIST=Tunola Band"});
    return path;
}

TEST(Addon, LoadsFromTheProgramFolderAndReportsItsFormats) {
    TAudioLibrary lib(TUNOLA_PROGRAM_DIR);
    const fs::path flac = FlacFixture();
    EXPECT_EQ(lib.StreamCreateFile(false, flac.string(), 0, 0, kStreamDecode), 0u)
        << "nothing built in reads FLAC";

    const HPLUGIN plugin = lib.PluginLoad("b_flac.so", 0);
    ASSERT_NE(plugin, 0u);
    const TPluginInfo* info = lib.PluginGetInfo(plugin);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->version, 0x01000000u);
    ASSERT_EQ(info->formats.size(), 1u);
    EXPECT_EQ(info->formats[0].name, "FLAC");
    EXPECT_EQ(info->formats[0].exts, "*.flac");
    EXPECT_EQ(lib.PluginLoad("b_flac.so", 0), 0u) << "already loaded";

    const fs::path fake = FixtureDir() / "b_fake.so";
    test::WriteFile(fake, "not a shared library");
    EXPECT_EQ(lib.PluginLoad(fake.string(), 0), 0u);
    EXPECT_EQ(lib.PluginLoad("b_missing.so", 0), 0u);
    EXPECT_EQ(lib.PluginLoad("", 0), 0u);
    EXPECT_EQ(lib.PluginGetInfo(plugin + 1000), nullptr);
}

TEST(Addon, StreamsDecodeSeekAndCarryTags) {
    TAudioLibrary lib(TUNOLA_PROGRAM_DIR);
    ASSERT_NE(lib.PluginLoad("b_flac.so", 0), 0u);
    const HSTREAM h = lib.StreamCreateFile(false, FlacFixture().string(), 0, 0, kStreamDecode);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(lib.ChannelGetLength(h, kPosByte), static_cast<QWORD>(kFrames) * 4);
    EXPECT_EQ(lib.TagsRead(h, "%TITL"), "\xE6\xB5\x8B\xE8\xAF\x95");
    EXPECT_EQ(lib.TagsRead(h, "%ARTI - %TITL"), "Tunola Band - \xE6\xB5\x8B\xE8\xAF\x95");

    // FLAC is lossless: every 16-bit sample comes back, also right after a seek.
    const auto expected = test::Pcm16(2, kFrames, test::Sine(440, 44100, 0.6));
    std::vector<int16_t> all;
    std::vector<int16_t> block(8192);
    for (int n; (n = lib.ChannelGetData(h, block.data(), 16384)) > 0;)
        all.insert(all.end(), block.begin(), block.begin() + n / 2);
    EXPECT_EQ(all, expected);
    for (const int64_t target : {int64_t{0}, int64_t{4097}, kFrames - 10, kFrames}) {
        ASSERT_TRUE(lib.ChannelSetPosition(h, QWORD(target) * 4, kPosByte)) << target;
        const int n = lib.ChannelGetData(h, block.data(), 40);
        if (target == kFrames) {
            EXPECT_EQ(n, -1);
            continue;
        }
        ASSERT_EQ(n, 40);
        for (int i = 0; i < 20; ++i)
            EXPECT_EQ(block[size_t(i)], expected[size_t(target * 2 + i)]) << target;
    }
}

TEST(Addon, PlaysAndOutlivesTheFreedAddonHandle) {
    TAudioLibrary lib(TUNOLA_PROGRAM_DIR);
    ASSERT_TRUE(lib.Init(kDeviceSilent, 44100, 0, nullptr));
    const HPLUGIN plugin = lib.PluginLoad("b_flac.so", 0);
    ASSERT_NE(plugin, 0u);
    const HSTREAM h = lib.StreamCreateFile(false, FlacFixture().string(), 0, 0, 0);
    ASSERT_NE(h, 0u);
    static std::atomic<int> ends{0};
    ends = 0;
    lib.ChannelSetSync(
        h, kSyncEnd, 0, [](HSYNC, DWORD, DWORD, void*) { ++ends; }, nullptr);
    ASSERT_TRUE(lib.ChannelPlay(h, false));
    // The stream keeps the add-on's code loaded after its handle is gone.
    EXPECT_TRUE(lib.PluginFree(plugin));
    EXPECT_FALSE(lib.PluginFree(plugin));
    EXPECT_EQ(lib.StreamCreateFile(false, FlacFixture().string(), 0, 0, kStreamDecode), 0u);
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (ends == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(ends.load(), 1);
    EXPECT_TRUE(lib.StreamFree(h));
    EXPECT_TRUE(lib.PluginFree(0));
    EXPECT_TRUE(lib.Free());
}

TEST(Addon, CorruptFlacFailsOrPlaysWhatDecodes) {
    TAudioLibrary lib(TUNOLA_PROGRAM_DIR);
    ASSERT_NE(lib.PluginLoad("b_flac.so", 0), 0u);
    const std::string bytes = test::ReadFile(FlacFixture());
    std::string damaged = bytes;
    for (size_t i = damaged.size() / 3; i < damaged.size() / 3 + 200; ++i)
        damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);
    for (const std::string& input :
         {bytes.substr(0, 40), bytes.substr(0, bytes.size() / 2), damaged, std::string("fLaC")}) {
        const HSTREAM h = lib.StreamCreateFile(true, input, 0, 0, kStreamDecode);
        if (!h)
            continue;
        std::vector<int16_t> block(8192);
        int64_t frames = 0;
        for (int n; (n = lib.ChannelGetData(h, block.data(), 16384)) > 0;)
            frames += n / 4;
        EXPECT_LE(frames, kFrames);
        lib.StreamFree(h);
    }
}

} // namespace
} // namespace tunaudio
