#!/usr/bin/env bash
# Runs a command against a PostgreSQL server of its own: a fresh cluster (UTF-8, C.UTF-8) in a
# temporary folder, listening on 127.0.0.1 and a free port only, run as an unprivileged user
# (the "postgres" account when started as root), stopped and removed when the command ends.
# The command finds the server in TUNOLA_TEST_PG (a URL of its "postgres" database).
set -euo pipefail

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
if [ -z "$bindir" ]; then
    echo "with-postgres: PostgreSQL is not installed (bash scripts/setup.sh)" >&2
    exit 1
fi
root=$(mktemp -d "${TMPDIR:-/tmp}/tunola-pg.XXXXXX")
as=()
if [ "$(id -u)" -eq 0 ]; then
    # The cluster must not belong to root; its folder's parents must let that user through.
    rmdir "$root"
    root=$(mktemp -d /tmp/tunola-pg.XXXXXX)
    chown postgres "$root"
    as=(runuser -u postgres --)
fi
cleanup() {
    "${as[@]}" "$bindir/pg_ctl" -D "$root/data" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$root"
}
trap cleanup EXIT

"${as[@]}" "$bindir/initdb" -D "$root/data" -U tunola --auth=trust -E UTF8 --locale=C.UTF-8 \
    >"$root/initdb.log" 2>&1 || { cat "$root/initdb.log" >&2; exit 1; }

started=
for _ in 1 2 3 4 5 6 7 8; do
    port=$((20000 + RANDOM % 40000))
    if "${as[@]}" "$bindir/pg_ctl" -D "$root/data" -l "$root/server.log" -w -t 30 \
        -o "-p $port -k $root -c listen_addresses=127.0.0.1 -c max_connections=200" \
        start >/dev/null 2>&1; then
        started=1
        break
    fi
done
if [ -z "$started" ]; then
    echo "with-postgres: the server did not start" >&2
    cat "$root/server.log" >&2 || true
    exit 1
fi

export TUNOLA_TEST_PG="postgresql://tunola@127.0.0.1:$port/postgres"
"$@"
