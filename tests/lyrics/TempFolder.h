#pragma once
// A fresh folder under the test's TMPDIR, removed again with everything in it.

#include "AtomicFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tunola {

class TTempFolder {
public:
    TTempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() / "tunola-lyrics" /
                (std::string(info->test_suite_name()) + "." + info->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TTempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // Writes a file; `name` is taken as raw bytes so tests can make non-UTF-8 names.
    std::filesystem::path Write(const std::string& name, std::string_view bytes) const {
        const std::filesystem::path file = path_ / std::filesystem::path(name);
        EXPECT_TRUE(WriteFileAtomically(file, bytes)) << name;
        return file;
    }

private:
    std::filesystem::path path_;
};

} // namespace tunola
