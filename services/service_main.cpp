// tunola-service: shares a music folder with Tunola players over HTTP.
//
// Threads: main binds and runs the accept loop; the server's workers answer requests; one
// signal thread waits for SIGTERM/SIGINT (stop) and SIGHUP (rescan); one scanner thread rescans
// the music folder when asked. They share the database object (each thread has its own
// connection) and the read-only context; the scanner's request flag is under its mutex.

#include "BoundedServer.h"
#include "MusicScan.h"
#include "ServiceDb.h"
#include "ServiceOptions.h"
#include "ServiceRoutes.h"

#include <QCoreApplication>

#include <pthread.h>
#include <signal.h>

#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <thread>

using namespace tunola::service;

namespace {

bool Scan(TServiceDb& db, const std::filesystem::path& music) {
    const auto start = std::chrono::steady_clock::now();
    const std::vector<TScanEntry> entries = ScanMusicFolder(music);
    std::string error;
    if (!db.StoreScan(entries, &error)) {
        std::fprintf(stderr, "tunola-service: storing the scan failed: %s\n", error.c_str());
        return false;
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    std::fprintf(stderr, "tunola-service: %zu songs in %s (%lld ms)\n", entries.size(),
                 music.c_str(), static_cast<long long>(ms));
    return true;
}

// Rescans on request, one at a time; a request during a scan runs one more afterwards.
class TScanner {
public:
    TScanner(TServiceDb& db, std::filesystem::path music) : db_(db), music_(std::move(music)) {
        thread_ = std::thread([this] { Run(); });
    }
    ~TScanner() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        cond_.notify_all();
        thread_.join();
    }
    void Request() {
        {
            std::lock_guard lock(mutex_);
            wanted_ = true;
        }
        cond_.notify_all();
    }

private:
    void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            cond_.wait(lock, [&] { return stop_ || wanted_; });
            if (stop_)
                return;
            wanted_ = false;
            lock.unlock();
            Scan(db_, music_);
            lock.lock();
        }
    }

    TServiceDb& db_;
    std::filesystem::path music_;
    std::mutex mutex_;
    std::condition_variable cond_;
    bool wanted_ = false, stop_ = false;
    std::thread thread_;
};

} // namespace

int main(int argc, char** argv) {
    TServiceOptions options;
    std::string error;
    if (!ParseServiceOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "tunola-service: %s\nTry --help.\n", error.c_str());
        return 2;
    }
    if (options.Help) {
        std::fputs(ServiceUsage().c_str(), stdout);
        return 0;
    }

    // Every thread started from here on inherits the blocked handledSignals; only the signal thread
    // takes them.
    sigset_t handledSignals;
    sigemptyset(&handledSignals);
    sigaddset(&handledSignals, SIGTERM);
    sigaddset(&handledSignals, SIGINT);
    sigaddset(&handledSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &handledSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv); // the SQL drivers are plug-ins found through it

    const std::string url = options.DbUrl.empty() ? DataDir() + "/service.db" : options.DbUrl;
    const std::optional<TDbUrl> dbUrl = ParseDbUrl(url);
    if (!dbUrl) {
        std::fprintf(stderr, "tunola-service: --db: cannot read %s\n", url.c_str());
        return 2;
    }
    TServiceDb db(*dbUrl);
    if (!db.Open(&error)) {
        std::fprintf(stderr, "tunola-service: %s\n", error.c_str());
        return 1;
    }

    std::filesystem::path music;
    if (!options.MusicDir.empty()) {
        std::error_code ec;
        music = std::filesystem::canonical(options.MusicDir, ec);
        if (ec || !std::filesystem::is_directory(music, ec)) {
            std::fprintf(stderr, "tunola-service: --music: %s is not a folder\n",
                         options.MusicDir.c_str());
            return 2;
        }
        if (!Scan(db, music))
            return 1;
        if (options.Rescan)
            return 0;
    }

    TServerLimits limits;
    limits.Threads = static_cast<size_t>(options.Threads);
    limits.Queue = static_cast<size_t>(options.Queue);
    TBoundedServer server(limits);
    TServiceContext context{&db, music, options.LatestVersion, options.DownloadUrl};
    InstallRoutes(server, context);
    const int port = server.Bind(options.ListenHost, options.ListenPort);
    if (port <= 0) {
        std::fprintf(stderr, "tunola-service: cannot listen on %s:%d\n", options.ListenHost.c_str(),
                     options.ListenPort);
        return 1;
    }
    if (!options.PortFile.empty()) {
        const std::string tmp = options.PortFile + ".tmp";
        std::ofstream(tmp) << port << "\n";
        std::filesystem::rename(tmp, options.PortFile);
    }
    std::fprintf(stderr, "tunola-service: listening on http://%s:%d/\n", options.ListenHost.c_str(),
                 port);

    std::unique_ptr<TScanner> scanner;
    if (!music.empty())
        scanner = std::make_unique<TScanner>(db, music);
    std::thread signalThread([&] {
        for (;;) {
            int sig = 0;
            if (sigwait(&handledSignals, &sig) != 0)
                continue;
            if (sig == SIGHUP) {
                if (scanner)
                    scanner->Request();
                continue;
            }
            server.stop();
            return;
        }
    });

    server.listen_after_bind();
    // Stopped by a signal, or the accept loop failed: make sure the signal thread ends too.
    if (server.is_running())
        server.stop();
    pthread_kill(signalThread.native_handle(), SIGTERM);
    signalThread.join();
    scanner.reset();
    std::fprintf(stderr, "tunola-service: stopped\n");
    return 0;
}
