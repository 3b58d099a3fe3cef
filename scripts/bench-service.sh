#!/usr/bin/env bash
# Measures tunola-service: 50 clients for 60 s (LOAD_SECONDS) against each engine, SQLite and a
# PostgreSQL cluster of its own, on the demo music folder; then music search over 100,000
# indexed songs on both. Figures go to standard output (docs/PERFORMANCE.md keeps them).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${LOAD_SECONDS:-60}
clients=${LOAD_CLIENTS:-50}

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DTUNOLA_BENCH=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target tunola-service tunola-make-demo tunola-service-load \
    bench_service_search
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/bin/tunola-make-demo "$work/music" >/dev/null

run_load() { # DB-URL LABEL
    rm -f "$work/port"
    build/bin/tunola-service --music "$work/music" --db "$1" --listen 127.0.0.1:0 \
        --port-file "$work/port" 2>/dev/null &
    local pid=$!
    for _ in $(seq 200); do [ -s "$work/port" ] && break; sleep 0.05; done
    local port
    port=$(cat "$work/port")
    build/bin/tunola-make-demo --upload "127.0.0.1:$port"
    echo "$2: $(build/bin/tunola-service-load "$port" "$clients" "$seconds")"
    kill "$pid"
    wait "$pid" || true
}
export -f run_load
export work seconds clients

run_load "$work/load.db" sqlite
bash tests/services/with-postgres.sh bash -c '
    psql -q "$TUNOLA_TEST_PG" -c "CREATE DATABASE load" -c "CREATE DATABASE search"
    run_load "${TUNOLA_TEST_PG%/*}/load" postgresql
    TUNOLA_TEST_PG="${TUNOLA_TEST_PG%/*}/search" build/bin/bench_service_search'
