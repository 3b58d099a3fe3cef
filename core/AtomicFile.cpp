#include "AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <fstream>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tunola {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    std::u8string s(utf8.begin(), utf8.end());
    return std::filesystem::path(s);
}

std::string PathToUtf8(const std::filesystem::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

namespace {

std::filesystem::path TempNameBeside(const std::filesystem::path& path) {
    std::random_device rd;
    const auto tag = std::to_string(rd() % 1000000u);
    std::filesystem::path tmp = path;
    tmp += ".tmp-" + tag;
    return tmp;
}

#ifndef _WIN32
bool WriteAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

void FlushFolder(const std::filesystem::path& folder) {
    const int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}
#endif

void SetError(std::string* error, const std::string& what) {
    if (error)
        *error = what;
}

} // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error) {
    const std::filesystem::path tmp = TempNameBeside(path);
#ifdef _WIN32
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) {
            SetError(error, "cannot create " + PathToUtf8(tmp));
            return false;
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ec;
            std::filesystem::remove(tmp, ec);
            SetError(error, "cannot write " + PathToUtf8(tmp));
            return false;
        }
    }
    if (!MoveFileExW(tmp.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        std::error_code ec;
        std::filesystem::remove(tmp, ec);
        SetError(error, "cannot replace " + PathToUtf8(path));
        return false;
    }
    return true;
#else
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        SetError(error, "cannot create " + PathToUtf8(tmp) + ": " + std::strerror(errno));
        return false;
    }
    // Keep the permissions of the file we replace.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        ::fchmod(fd, st.st_mode & 07777);
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!written || ::rename(tmp.c_str(), path.c_str()) != 0) {
        const int err = written ? errno : savedErrno;
        ::unlink(tmp.c_str());
        SetError(error, "cannot write " + PathToUtf8(path) + ": " + std::strerror(err));
        return false;
    }
    FlushFolder(path.parent_path());
    return true;
#endif
}

bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes) {
    bytes.clear();
#ifdef _WIN32
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec)
        bytes.reserve(static_cast<size_t>(size));
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
#else
    // Plain reads, not a file stream: the first stream made in the process builds the C++
    // locale with all its facets, which costs resident pages of the C++ library for nothing.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        bytes.reserve(static_cast<size_t>(st.st_size));
    char block[16384];
    for (;;) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return false;
        }
        bytes.append(block, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
#endif
}

std::filesystem::path MoveAsideUnreadable(const std::filesystem::path& path) {
    std::error_code ec;
    for (int n = 1; n < 1000; ++n) {
        std::filesystem::path target = path;
        target += n == 1 ? std::string(".unreadable") : ".unreadable-" + std::to_string(n);
        if (std::filesystem::exists(target, ec))
            continue;
        std::filesystem::rename(path, target, ec);
        return ec ? std::filesystem::path() : target;
    }
    return {};
}

} // namespace tunola
