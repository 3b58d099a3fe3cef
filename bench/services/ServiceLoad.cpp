// tunola-service-load: a load generator for a tunola-service on this machine. N clients on
// kept-alive connections mix sharing-page, music-search, lyric (search and download) and share
// (64 KiB range) requests for a fixed time, then report requests per second, latency
// percentiles and errors. Bounded: 127.0.0.1 only, at most 200 clients and 600 s.
//
//   tunola-service-load PORT [CLIENTS=50] [SECONDS=60]
//
// Threads: one per client; each keeps its own latencies and counts, summed at the end.

#include "ShareLinks.h"
#include "TextCodec.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string Enc(const std::string& utf8) {
    return tunola::SharePercentEncode(tunola::Utf8ToGb18030(utf8));
}

struct TStats {
    std::vector<double> LatencyMs;
    long Errors = 0;
    long Count[4] = {};
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PORT [CLIENTS=50] [SECONDS=60]\n", argv[0]);
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const int clients = std::clamp(argc > 2 ? std::atoi(argv[2]) : 50, 1, 200);
    const int seconds = std::clamp(argc > 3 ? std::atoi(argv[3]) : 60, 1, 600);

    // What there is to ask for: the share addresses from the sharing page, the lyric titles.
    httplib::Client probe("127.0.0.1", port);
    auto index = probe.Get("/index.asp");
    if (!index || index->status != 200) {
        std::fprintf(stderr, "no service on 127.0.0.1:%d\n", port);
        return 1;
    }
    std::vector<std::string> shares;
    for (size_t at = index->body.find("href=\"qivra://"); at != std::string::npos;
         at = index->body.find("href=\"qivra://", at + 1)) {
        const size_t end = index->body.find('"', at + 6);
        const auto link =
            tunola::ParseShareLink(index->body.substr(at + 6, end - at - 6), "/share/");
        if (link && link->Play)
            shares.push_back(link->FileName);
    }
    if (shares.empty()) {
        std::fprintf(stderr, "the service shares no songs\n");
        return 1;
    }
    const std::vector<std::string> words = {"晨光",     "夜空", "River", "Blue Window",
                                            "听风乐队", "song", "晴天",  "不存在"};
    const std::vector<std::pair<std::string, std::string>> lyrics = {
        {"晨光", "听风乐队"}, {"夜空", "林小雨"}, {"River Song", "The Quiet Hours"}};

    const auto until = Clock::now() + std::chrono::seconds(seconds);
    std::vector<TStats> stats(static_cast<size_t>(clients));
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            TStats& s = stats[static_cast<size_t>(c)];
            httplib::Client client("127.0.0.1", port);
            client.set_keep_alive(true);
            client.set_read_timeout(10, 0);
            for (unsigned i = static_cast<unsigned>(c); Clock::now() < until; ++i) {
                const int kind = static_cast<int>(i % 4);
                const auto start = Clock::now();
                int want = 200;
                auto request = [&]() -> httplib::Result {
                    switch (kind) {
                    case 0:
                        return client.Get("/index.asp");
                    case 1:
                        return client.Get(("/api/music/search?q=" + Enc(words[i % words.size()]) +
                                           "&kind=" + std::to_string(i / 4 % 2))
                                              .c_str());
                    case 2: {
                        const auto& [title, artist] = lyrics[i % lyrics.size()];
                        auto found = client.Get(("/api/lyrics/search?title=" + Enc(title) +
                                                 "&artist=" + Enc(artist) + "&mode=0")
                                                    .c_str());
                        if (!found || found->status != 200 || found->body.empty())
                            return found;
                        return client.Get(
                            ("/api/lyrics/get?id=" + found->body.substr(0, found->body.find('\t')))
                                .c_str());
                    }
                    default:
                        want = 206;
                        return client.Get(shares[i % shares.size()].c_str(),
                                          {{"Range", "bytes=65536-131071"}});
                    }
                };
                const httplib::Result r = request();
                const double ms =
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                s.LatencyMs.push_back(ms);
                ++s.Count[kind];
                if (!r || r->status != want)
                    ++s.Errors;
            }
        });
    }
    for (std::thread& t : threads)
        t.join();

    TStats all;
    for (const TStats& s : stats) {
        all.LatencyMs.insert(all.LatencyMs.end(), s.LatencyMs.begin(), s.LatencyMs.end());
        all.Errors += s.Errors;
        for (int k = 0; k < 4; ++k)
            all.Count[k] += s.Count[k];
    }
    std::sort(all.LatencyMs.begin(), all.LatencyMs.end());
    auto pct = [&](double p) {
        return all.LatencyMs.empty()
                   ? 0.0
                   : all.LatencyMs[std::min(all.LatencyMs.size() - 1,
                                            static_cast<size_t>(p * all.LatencyMs.size()))];
    };
    std::printf("clients %d, %d s: %zu requests, %.0f requests/s, p50 %.2f ms, p99 %.2f ms, "
                "errors %ld (page %ld, search %ld, lyric %ld, share %ld)\n",
                clients, seconds, all.LatencyMs.size(),
                static_cast<double>(all.LatencyMs.size()) / seconds, pct(0.50), pct(0.99),
                all.Errors, all.Count[0], all.Count[1], all.Count[2], all.Count[3]);
    return all.Errors == 0 ? 0 : 1;
}
