#!/usr/bin/env bash
# The given binary loads no Qt library, directly or through another library.
#
# Usage: noqt_test.sh BINARY
# ldd lists the whole tree of shared libraries the loader would map, not only direct needs.
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 BINARY" >&2; exit 2; }
binary=$1
[ -f "$binary" ] || { echo "$binary is missing: build it first" >&2; exit 2; }
libraries=$(ldd "$binary") || { echo "ldd cannot read $binary" >&2; exit 2; }

qt=$(grep -E 'libQt' <<<"$libraries" || true)
if [ -n "$qt" ]; then
    while IFS= read -r line; do
        echo "$binary links Qt: ${line#"${line%%[![:space:]]*}"}"
    done <<<"$qt"
    exit 1
fi
echo "$binary links no Qt library"
