#!/usr/bin/env bash
# Builds the skin generator, redraws both skins of our own into data/skin/, checks them and
# rewrites their preview pictures in docs/skins/. Commit the changed PNG files with the change
# to the generator that made them.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${TUNOLA_SKINGEN_BUILD:-$repo/build-skins}"

cmake -S "$repo" -B "$build" -DTUNOLA_ONLY=app -DTUNOLA_TESTS=OFF >/dev/null
cmake --build "$build" --target tunola_skingen -j2

QT_QPA_PLATFORM=offscreen "$build/tools/skingen/tunola_skingen" \
  --skins "$repo/data/skin" --previews "$repo/docs/skins"
