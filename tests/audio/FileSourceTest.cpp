// The file source the decoders and the tag reader read through: its own buffer between the
// callers' reads of any size and the file, inside a window of the file.

#include "FileByteSource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <sys/stat.h>

namespace tunaudio {
namespace {

namespace fs = std::filesystem;

class FileSource : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tunola-filesource-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(FileSource, ReadsOfEverySizeAndSeeksGiveTheWindowsBytes) {
    // 100 KB of bytes that differ at every offset, so a read from the wrong place shows.
    std::string bytes(100'000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 7919 + i / 251) & 0xFF);
    const fs::path path = dir_ / "data.bin";
    std::ofstream(path, std::ios::binary) << bytes;

    struct Window {
        uint64_t offset, length;
    };
    for (const Window w : {Window{0, 0}, Window{12'345, 40'000}, Window{99'000, 0}}) {
        auto source = TFileByteSource::Open(path.string(), w.offset, w.length);
        ASSERT_TRUE(source);
        const std::string window = bytes.substr(w.offset, w.length ? w.length : std::string::npos);
        ASSERT_EQ(source->Size(), int64_t(window.size()));
        std::mt19937 random(int(w.offset));
        for (int step = 0; step < 2000; ++step) {
            const int64_t at = source->Tell();
            if (random() % 5 == 0) {
                const int64_t to = int64_t(random() % (window.size() + 1));
                ASSERT_TRUE(source->Seek(to));
                ASSERT_EQ(source->Tell(), to);
                continue;
            }
            // Small reads (headers), reads across the buffer's end, and large ones that go
            // around the buffer.
            const size_t sizes[] = {1, 4, 10, 700, 4096, 16'383, 16'384, 40'000};
            const size_t want = sizes[random() % std::size(sizes)];
            std::string got(want, '\0');
            const size_t n = source->Read(got.data(), want);
            const size_t expect = std::min<size_t>(want, window.size() - size_t(at));
            ASSERT_EQ(n, expect) << "at " << at << " reading " << want;
            ASSERT_EQ(got.substr(0, n), window.substr(size_t(at), n)) << "at " << at;
            ASSERT_EQ(source->Tell(), at + int64_t(n));
        }
        EXPECT_FALSE(source->Seek(int64_t(window.size()) + 1));
        EXPECT_FALSE(source->Seek(-1));
    }
    EXPECT_FALSE(TFileByteSource::Open(path.string(), bytes.size() + 1, 0));
}

TEST_F(FileSource, OnlyRegularFilesOpenAndNoneBlocks) {
    const fs::path fifo = dir_ / "pipe.mp3";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Opening a FIFO for reading would wait for a writer for ever (the test would hang); the
    // source must refuse it at once.
    EXPECT_FALSE(TFileByteSource::Open(fifo.string(), 0, 0));
    EXPECT_FALSE(TFileByteSource::Open(dir_.string(), 0, 0));
    EXPECT_FALSE(TFileByteSource::Open((dir_ / "missing.mp3").string(), 0, 0));
}

} // namespace
} // namespace tunaudio
