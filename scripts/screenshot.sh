#!/usr/bin/env bash
# Makes docs/screenshot.png: the main window during a game, as look.sh sees
# it at 100 %.
set -euo pipefail
cd "$(dirname "$0")/.."

pictures=$(mktemp -d)
trap 'rm -rf "$pictures"' EXIT
scripts/look.sh 1 "$pictures" >/dev/null
cp "$pictures/main.png" docs/screenshot.png
echo "wrote $(pwd)/docs/screenshot.png"
