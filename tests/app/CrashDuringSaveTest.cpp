// The files the player rewrites survive a crash in the middle of writing them: a child process
// saves the playlist, the configuration or a downloaded lyric over and over, alternating between
// two versions, and is killed with SIGKILL at a random moment; whatever moment it was, the file
// on disk is then the complete old or the complete new version, never a part or a mix.
//
// Threads: none besides the test's own; each child is a fork of it that only saves.

#include "LyricDownload.h"
#include "MoConfig.h"
#include "MoPlist.h"

#include "../lyrics/FakeLyricDown.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace tunola {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kKillsPerFile = 1000;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// One kind of file: how to save version 0 or 1 of it into `folder`, and where it lands.
struct TSaver {
    const char* name;
    std::function<void(const fs::path& folder, int version)> save;
    std::function<fs::path(const fs::path& folder)> file;
};

void SavePlaylist(const fs::path& folder, int version) {
    TMoPlist list((folder / "Default.pls").string(), "DefaultList");
    list.ClearList("PlayerList");
    // Large enough that a write takes a while: a kill lands inside one often.
    for (int i = 0; i < 400; ++i)
        list.AddEntry("PlayerList/LIST", "曲目 " + std::to_string(i) + (version ? " 乙" : " 甲"),
                      "歌手", "0", "/music/track" + std::to_string(i) + ".mp3", 0.002 * version);
    list.Save();
}

void SaveConfiguration(const fs::path& folder, int version) {
    TMoConfig config((folder / "tunola.xml").string(), "TUNOLA.CONFIG");
    config.WriteInteger("Window/PLAY", "PATTERN", version);
    config.WriteString("Window/SKIN", "NAME", version ? "Porcelain" : "Default");
    for (int i = 0; i < 200; ++i)
        config.WriteString("Window/Extra" + std::to_string(i), "VALUE",
                           std::string(64, version ? 'b' : 'a'));
    config.Save();
}

void SaveLyric(const fs::path& folder, int version) {
    TFakeLyricDown service;
    service.ResultsByMode[0] = {{"晴天", "周杰伦", 7}};
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "[00:" + std::to_string(10 + i % 50) + ".00]" + (version ? "乙" : "甲") + "\r\n";
    service.Lyrics[7] = text;
    DownloadLyrics(&service, "晴天", "周杰伦", folder);
}

const TSaver kSavers[] = {
    {"playlist", SavePlaylist, [](const fs::path& f) { return f / "Default.pls"; }},
    {"configuration", SaveConfiguration, [](const fs::path& f) { return f / "tunola.xml"; }},
    {"lyric", SaveLyric, [](const fs::path& f) { return f / "晴天 周杰伦.lrc"; }},
};

class CrashDuringSave : public ::testing::TestWithParam<TSaver> {};

TEST_P(CrashDuringSave, TheFileIsAlwaysTheWholeOldOrTheWholeNew) {
    const TSaver& saver = GetParam();
    const fs::path folder = fs::temp_directory_path() / ("tunola-crash-" + std::string(saver.name) +
                                                         "-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path file = saver.file(folder);

    // The two complete versions, and how long one save takes.
    std::string versions[2];
    const auto start = Clock::now();
    for (int version : {0, 1}) {
        saver.save(folder, version);
        versions[version] = ReadAll(file);
        ASSERT_FALSE(versions[version].empty());
    }
    const auto perSave =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start) / 2;
    ASSERT_NE(versions[0], versions[1]);

    std::mt19937 random(20261210);
    // Within one save of the start: the child needs a moment to begin, so most kills land in its
    // first or second save.
    std::uniform_int_distribution<long> delay(0, std::max<long>(50, perSave.count()));
    int midWrite = 0; // kills that left a temporary file behind: the save was under way
    for (int kill = 0; kill < kKillsPerFile; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i)
                saver.save(folder, i % 2);
        }
        ::usleep(static_cast<useconds_t>(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child only ever saves";

        const std::string now = ReadAll(file);
        ASSERT_TRUE(now == versions[0] || now == versions[1])
            << saver.name << " after kill " << kill << ": " << now.size() << " bytes, not "
            << versions[0].size() << " or " << versions[1].size();
        // Temporary files a kill left behind go, so that each round starts alike.
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path() != file) {
                ++midWrite;
                fs::remove_all(entry.path());
            }
    }
    // The kills did land inside saves, not only between them. How many do depends on how fast
    // the child starts and how much of a save is spent writing (the configuration builds its
    // document first and writes for a small part of the save: 3 of 1000 under the sanitizers
    // with the thread-sanitizer stage beside it), so this only asks that some did.
    EXPECT_GE(midWrite, 1) << saver.name;
    std::printf("%s: %d of %d kills during a write (one save: %lld us)\n", saver.name, midWrite,
                kKillsPerFile, static_cast<long long>(perSave.count()));
    fs::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Files, CrashDuringSave, ::testing::ValuesIn(kSavers),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tunola
