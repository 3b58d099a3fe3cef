#!/usr/bin/env bash
# Makes a small seed corpus for the audio fuzz targets (fuzz/audio): one short file per format,
# from a tone that tunola_make_tone writes and the encoders the set-up installs.
#   tools/make_tone/audio-fuzz-seeds.sh BUILD_DIR CORPUS_DIR
set -euo pipefail
build=${1:?build folder with bin/tunola_make_tone}
corpus=${2:?corpus folder}
tone="$build/bin/tunola_make_tone"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$corpus"/{wav,ogg,mp3,flac,library}

"$tone" "$work/a.wav" 0.2 440 44100 2
"$tone" "$work/b.wav" 0.1 1000 22050 1
cp "$work/a.wav" "$corpus/wav/stereo.wav"
cp "$work/b.wav" "$corpus/wav/mono.wav"
lame --quiet -b 64 --tt "Seed" --ta "Tunola" "$work/a.wav" "$corpus/mp3/a.mp3"
lame --quiet -V 9 "$work/b.wav" "$corpus/mp3/b.mp3"
oggenc --quiet -q 0 -t "Seed" -o "$corpus/ogg/a.ogg" "$work/a.wav"
oggenc --quiet -q 0 -o "$corpus/ogg/b.ogg" "$work/b.wav"
flac --silent --force -T TITLE=Seed -o "$corpus/flac/a.flac" "$work/a.wav"
flac --silent --force -o "$corpus/flac/b.flac" "$work/b.wav"
cp "$corpus"/{wav,ogg,mp3,flac}/* "$corpus/library/"
