#pragma once
// A real tunola-service process for tests: started on a free 127.0.0.1 port with the given
// options, its log kept in a file, stopped with SIGTERM (or killed) at the end.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace tunola::service::test {

inline std::filesystem::path FreshFolder(const std::string& name) {
    const std::filesystem::path p =
        std::filesystem::temp_directory_path() / "tunola-service" / name;
    std::filesystem::remove_all(p);
    std::filesystem::create_directories(p);
    return p;
}

class TServiceProcess {
public:
    TServiceProcess() = default;
    TServiceProcess(const TServiceProcess&) = delete;
    TServiceProcess& operator=(const TServiceProcess&) = delete;
    ~TServiceProcess() {
        if (pid_ > 0)
            Kill();
    }

    // Starts the service and waits until it listens. False when it did not come up.
    bool Start(const std::filesystem::path& work, std::vector<std::string> args) {
        portFile_ = work / "port";
        log_ = work / "service.log";
        std::filesystem::remove(portFile_);
        args.insert(args.begin(), TUNOLA_SERVICE_BIN);
        args.insert(args.end(), {"--listen", "127.0.0.1:0", "--port-file", portFile_.string()});
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, log_.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0)
            return false;
        for (int i = 0; i < 300; ++i) {
            std::ifstream in(portFile_);
            if (in >> port_ && port_ > 0)
                return true;
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    int Port() const { return port_; }
    pid_t Pid() const { return pid_; }
    std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string Log() const {
        std::ifstream in(log_);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // SIGTERM and wait; the exit status, or -1 when it had to be killed.
    int Stop() {
        if (pid_ <= 0)
            return -1;
        kill(pid_, SIGTERM);
        for (int i = 0; i < 1000; ++i) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        Kill();
        return -1;
    }

    void Kill() {
        if (pid_ <= 0)
            return;
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::filesystem::path portFile_, log_;
};

// Runs a program to its end; its exit status.
int RunProgram(std::vector<std::string> args, std::string* out = nullptr);

// The --db value for a test: a fresh PostgreSQL database `name` when the suite runs under
// with-postgres.sh (TUNOLA_TEST_PG), else a fresh SQLite file in `work`.
inline std::string TestDb(const std::filesystem::path& work, const std::string& name) {
    const char* pg = std::getenv("TUNOLA_TEST_PG");
    if (!pg || !*pg) {
        std::filesystem::remove(work / (name + ".sqlite"));
        return (work / (name + ".sqlite")).string();
    }
    const std::string base(pg);
    std::string out;
    EXPECT_EQ(RunProgram({"psql", "-q", "-v", "ON_ERROR_STOP=1", base, "-c",
                          "DROP DATABASE IF EXISTS " + name, "-c", "CREATE DATABASE " + name},
                         &out),
              0)
        << out;
    return base.substr(0, base.rfind('/') + 1) + name;
}

inline bool UsingPostgres() {
    const char* pg = std::getenv("TUNOLA_TEST_PG");
    return pg && *pg;
}

// Runs a program to its end; its exit status.
inline int RunProgram(std::vector<std::string> args, std::string* out) {
    std::string cmd;
    for (const std::string& a : args)
        cmd += "'" + a + "' ";
    cmd += "2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p)
        return -1;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        if (out)
            out->append(buf, n);
    const int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace tunola::service::test
