#!/usr/bin/env bash
# End-to-end timing of `tarvle-tool lzrw pack` and `unpack` against `lz4 -1`
# and `lz4 -1 -d` (Debian package lz4) on a 48 MiB text: data/words.txt over
# and over, cut to 50331648 bytes, made in a scratch folder. Each round runs
# every command once, in turn, so that the machine's changing load falls on
# all of them alike; a first round only warms the caches. Prints the median,
# least and greatest wall time of each, and per round the speed of each
# tool's step relative to lz4's (lz4's time / the tool's time).
#
#   scripts/bench-lzrw-tool.sh [ROUNDS] [TOOL...]
#
# TOOLs are tarvle-tool binaries to compare (default build/bin/tarvle-tool).
# Outputs are written, as the tools write them, under the scratch folder
# (TMPDIR or /tmp), on the same file system for all.
set -euo pipefail

rounds=${1:-10}
shift || true
tools=("$@")
[ ${#tools[@]} -eq 0 ] && tools=(build/bin/tarvle-tool)
command -v lz4 >/dev/null || { echo "needs lz4 (apt-get install lz4)" >&2; exit 2; }

here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/bench-lzrw.XXXXXX")
trap 'rm -rf "$work"' EXIT
text=$work/text
while [ "$(stat -c %s "$text" 2>/dev/null || echo 0)" -lt 50331648 ]; do
    cat "$here/data/words.txt" >>"$text"
done
truncate -s 50331648 "$text"

# name, then the command
steps=()
for i in "${!tools[@]}"; do
    steps+=("tool$i-pack|${tools[$i]} lzrw pack $text $work/t$i.tld")
    steps+=("tool$i-unpack|${tools[$i]} lzrw unpack $work/t$i.tld $work/t$i.out")
done
steps+=("lz4-pack|lz4 -1 -q -f $text $work/x.lz4")
steps+=("lz4-unpack|lz4 -d -q -f $work/x.lz4 $work/x.out")

times=$work/times
for ((round = 0; round <= rounds; ++round)); do
    for step in "${steps[@]}"; do
        name=${step%%|*}
        start=$(date +%s%N)
        ${step#*|} >/dev/null
        end=$(date +%s%N)
        [ "$round" -gt 0 ] && echo "$round $name $(((end - start) / 1000000))" >>"$times"
    done
done

for i in "${!tools[@]}"; do
    cmp -s "$work/t$i.out" "$text" || { echo "${tools[$i]}: unpacked output differs" >&2; exit 1; }
    echo "tool$i = ${tools[$i]}"
done
awk -v size=50331648 '
    { ms[$2] = ms[$2] " " $3; at[$1, $2] = $3; names[$2] = 1; if ($1 > last) last = $1 }
    function sorted(list, out,   n, i, j, t) {
        n = split(list, out, " ")
        for (i = 2; i <= n; ++i) for (j = i; j > 1 && out[j - 1] + 0 > out[j] + 0; --j) { t = out[j]; out[j] = out[j - 1]; out[j - 1] = t }
        return n
    }
    function median(list,   v, n) { n = sorted(list, v); return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2 }
    END {
        for (name in names) {
            n = sorted(ms[name], v)
            m = median(ms[name])
            printf "%-14s median %6.0f ms  least %6.0f  greatest %6.0f  %6.1f MB/s\n", name, m, v[1], v[n], size / m / 1000
        }
        for (name in names) {
            if (name ~ /^lz4/) continue
            split(name, part, "-"); ratios = ""
            for (r = 1; r <= last; ++r) ratios = ratios " " sprintf("%.2f", at[r, "lz4-" part[2]] / at[r, name])
            n = sorted(ratios, v)
            printf "%-14s against lz4: median %.2f, least %.2f, greatest %.2f\n", name, median(ratios), v[1], v[n]
        }
    }' "$times" | sort
