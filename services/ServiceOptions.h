#pragma once
// The service's command line. Pure; main thread.

#include <string>
#include <vector>

namespace tunola::service {

inline constexpr int kDefaultPort = 7860;

struct TServiceOptions {
    std::string MusicDir; // --music
    std::string DbUrl;    // --db; empty: the SQLite file in DataDir()
    std::string ListenHost = "127.0.0.1";
    int ListenPort = kDefaultPort; // --listen ADDR:PORT (port 0: any free port)
    std::string LatestVersion;     // --latest-version a.b
    std::string DownloadUrl;       // --download-url
    std::string PortFile;          // --port-file: the bound port is written there
    int Threads = 64;              // --threads: connections served at once
    int Queue = 128;               // --queue: connections waiting beyond those
    bool Rescan = false;           // --rescan: scan into the database and exit
    bool Help = false;
};

// False with a message in `error` on an unknown option or a bad value.
bool ParseServiceOptions(const std::vector<std::string>& args, TServiceOptions& options,
                         std::string& error);

std::string ServiceUsage();

// $XDG_DATA_HOME/tunola-service, else ~/.local/share/tunola-service.
std::string DataDir();

} // namespace tunola::service
