// Music search over 100,000 indexed songs, long (trigram index) and short (substring scan)
// queries, on SQLite and, when TUNOLA_TEST_PG names a server (tests/services/with-postgres.sh),
// on PostgreSQL.

#include "ServiceDb.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <cstdlib>
#include <filesystem>
#include <memory>

using namespace tunola::service;

namespace {

constexpr int kSongs = 100000;

// Made on first use, closed before the application object goes.
std::unique_ptr<TServiceDb> lite, pg;

TServiceDb& Db(bool postgres) {
    std::unique_ptr<TServiceDb>& db = postgres ? pg : lite;
    if (!db) {
        TDbUrl url;
        if (postgres) {
            url = *ParseDbUrl(std::getenv("TUNOLA_TEST_PG"));
        } else {
            const auto file = std::filesystem::temp_directory_path() / "tunola-search-bench.db";
            std::filesystem::remove(file);
            url = *ParseDbUrl(file.string());
        }
        db = std::make_unique<TServiceDb>(url);
        std::string error;
        if (!db->Open(&error) ||
            (db->SongCount() < kSongs && !db->InsertSyntheticSongs(kSongs, &error)))
            std::fprintf(stderr, "search bench: %s\n", error.c_str());
    }
    return *db;
}

void Search(benchmark::State& state, bool postgres, const char* text) {
    if (postgres && !std::getenv("TUNOLA_TEST_PG")) {
        state.SkipWithError("no PostgreSQL (run under tests/services/with-postgres.sh)");
        return;
    }
    TServiceDb& db = Db(postgres);
    size_t found = 0;
    for (auto _ : state)
        found = db.SearchSongs(text, 0, 200).size();
    state.counters["results"] = static_cast<double>(found);
}

} // namespace

BENCHMARK_CAPTURE(Search, sqlite_long_cjk, false, "青花瓷")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Search, sqlite_short_cjk, false, "晴天")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Search, sqlite_latin, false, "river night")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Search, sqlite_rare, false, "歌手996")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Search, postgres_long_cjk, true, "青花瓷")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Search, postgres_short_cjk, true, "晴天")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Search, postgres_latin, true, "river night")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Search, postgres_rare, true, "歌手996")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    lite.reset();
    pg.reset();
    return 0;
}
