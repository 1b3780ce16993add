#!/usr/bin/env bash
# Plays one whole game on the keyboard with its cues going to a PulseAudio
# daemon of its own, records them and lists every cue asked for with the delay
# at which it was heard. Takes three minutes.
#
#   scripts/record-cues.sh [BUILD [RECORDING.wav]]
#
# Needs pulseaudio and pulseaudio-utils (scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
recording=${2:-}
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja
cmake --build "$build" -j2 --target cuegame
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/bin/cuegame" ${recording:+"$recording"}
