// Whole-file reads and atomic replacement: what goes in comes back byte for byte, and a path
// that is not a readable file says so instead of giving an empty success.
#include <AtomicFile.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tunola {
namespace {

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("tunola-atomic-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST_F(AtomicFileTest, WhatIsWrittenReadsBackByteForByte) {
    std::string large(70000, '\0'); // several read blocks, with NULs and every byte value
    for (size_t i = 0; i < large.size(); ++i)
        large[i] = char(i * 7 + i / 251);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {{"empty", ""}, {"one byte", "x"}, {"text", "<a>\r\n\xE6\xAD\x8C</a>"},
                 {"large", large}};
    for (const auto& c : cases) {
        const auto path = dir_ / "file.xml";
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(path, c.bytes, &error)) << c.name << ": " << error;
        std::string read = "left over";
        ASSERT_TRUE(ReadWholeFile(path, read)) << c.name;
        EXPECT_EQ(read, c.bytes) << c.name;
    }
}

TEST_F(AtomicFileTest, NoFileToReadIsAFailure) {
    std::string bytes;
    EXPECT_FALSE(ReadWholeFile(dir_ / "missing.xml", bytes));
    EXPECT_FALSE(ReadWholeFile(dir_, bytes)) << "a folder is not a file";
}

} // namespace
} // namespace tunola
