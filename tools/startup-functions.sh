#!/usr/bin/env bash
# Lists the player's own functions that run while it starts, for the link order in
# app/startup-functions.txt: the linker lays them out together at the front of the code, so the
# pages the kernel maps in while the player starts hold start-up code and little else (it maps
# code in 64 KiB blocks around each first touch, and start-up code spread over the whole program
# maps all of it). Runs the player under callgrind on a private virtual display with a fresh home
# folder (no service reachable, as tools/measure-startup.sh), twice (a first start and a later
# one), dumps what ran N seconds after the first paint and kills it; prints one mangled symbol
# a line, in the order of the program's symbol table, and on standard error the share of the
# code they make up.
#   tools/startup-functions.sh [build dir] [seconds after the first paint=3] > app/startup-functions.txt
# Run it again after larger changes to what the start does; a stale list only costs memory
# (a name that no longer exists is ignored by the linker, a new start-up function lands among the
# rest of the code).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/measure-lib.sh"
build=${1:-build}
settle=${2:-3}
bin="$build/bin/tunola"
[ -x "$bin" ] || { echo "no $bin: build first" >&2; exit 1; }
command -v valgrind >/dev/null || { echo "valgrind missing: run scripts/setup.sh" >&2; exit 1; }
trap measure_cleanup EXIT

measure_xvfb :78 >&2
measure_private_home
out=$(measure_tmpdir)
# profile NAME: one start under callgrind, its functions dumped N seconds after the first paint.
profile() {
    valgrind --tool=callgrind --demangle=no --compress-strings=no --compress-pos=no \
        --callgrind-out-file="$out/$1.%p" "$bin" >"$out/$1.log" 2>&1 &
    local tracer=$! _
    measure_pids+=("$tracer")
    # Under callgrind the start takes tens of seconds: wait for the first paint.
    for _ in $(seq 1200); do grep -q 'first paint at' "$out/$1.log" && break; sleep 0.1; done
    grep -q 'first paint at' "$out/$1.log" ||
        { echo "the player did not paint under callgrind" >&2; exit 1; }
    sleep "$settle"
    callgrind_control -d "$tracer" >/dev/null 2>&1
    kill -KILL "$tracer"
    wait "$tracer" 2>/dev/null || true
    # Forked children write files of their own; only the player's dump counts.
    mv "$out/$1.$tracer".* "$out/$1.dump"
}
# The first start in a fresh home, and a later one: the player run once in between, ended as a
# user ends it, has saved its settings and list, which every later start reads.
profile first
"$bin" >/dev/null 2>&1 &
player=$!
measure_pids+=("$player")
sleep "$settle"
kill -TERM "$player"
wait "$player" 2>/dev/null || true
profile later
exe=$(readlink -f "$bin")
# Archives the player links whose objects have no section per function (libxml2's, see the top
# CMakeLists.txt): their members that hold code run at start are listed whole, as
# "libxml2.a(parser.o)", the densest in start-up code first. Their functions are counted whether
# the build at hand linked the archive or the shared library.
archives=${ARCHIVES-$(pkg-config --variable=libdir libxml-2.0)/libxml2.a}
shared_pattern='^$'
: >"$out/members"
for archive in $archives; do
    [ -f "$archive" ] || continue
    name=$(basename "$archive" .a)
    shared_pattern="$shared_pattern|/${name}[.]so"
    nm -A -S --defined-only "$archive" 2>/dev/null |
        awk -v a="$(basename "$archive")" 'NF == 4 && $3 ~ /^[tTwW]$/ {
            n = split($1, p, ":"); print a "(" p[n - 1] ")", $2, $4 }' >>"$out/members"
done
# A size from nm, in hexadecimal, as a number (the awk here has no strtonum).
hex='function hex(s,  n, k) { for (k = 1; k <= length(s); k++) n = n * 16 + index("0123456789abcdef", substr(s, k, 1)) - 1; return n }'
# A function's costs follow its "fn=" line, under the last "ob=" (the object it lies in).
awk -v exe="$exe" -v shared="$shared_pattern" '
    /^ob=/ { ob = substr($0, 4) }
    /^fn=/ { if (ob == exe || ob ~ shared) ran[substr($0, 4)] = 1 }
    END { for (f in ran) print f }
' "$out/first.dump" "$out/later.dump" | sort -u >"$out/ran"
# Sections are named after a function's first symbol (a constructor's C2, not the C1 that
# calls name): every symbol at the address of one that ran is listed, so the alias finds it.
nm --defined-only -S "$bin" | awk '$3 ~ /^[tTwW]$/ { print $1, $2, $4 }' >"$out/symbols"
awk "$hex"'
     FILENAME == ARGV[1] { member_function[$3] = 1; next }
     FILENAME == ARGV[2] { ran[$1] = 1; next }
     $3 in member_function { next }
     { addr[FNR] = $1; size[FNR] = $2; name[FNR] = $3; if ($3 in ran) hit[$1] = 1 }
     END { for (i = 1; i <= FNR; i++) {
               n = hex(size[i])
               if (!(addr[i] in counted)) { counted[addr[i]] = 1; total += n; if (addr[i] in hit) used += n }
               if (addr[i] in hit) print name[i]
           }
           printf "%d of %d bytes of code run at start (%.0f %%)\n", used, total,
                  100 * used / total > "/dev/stderr" }' "$out/members" "$out/ran" "$out/symbols"
awk "$hex"'
     NR == FNR { ran[$1] = 1; next }
     { n = hex($2); size[$1] += n; if ($3 in ran) used[$1] += n }
     END { for (m in used) printf "%.6f %s\n", used[m] / size[m], m }' "$out/ran" "$out/members" |
    sort -rn | awk '{ print $2 }'
