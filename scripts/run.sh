#!/usr/bin/env bash
# Starts the local service host on the build's address when nothing answers
# there yet, then the game. The service keeps running after the game ends.
set -euo pipefail

build=${1:-build}
host=$(sed -n 's/^TARVLE_SERVICE_HOST:[A-Z]*=//p' "$build/CMakeCache.txt")
address=${host%:*}
port=${host##*:}
data=${XDG_DATA_HOME:-$HOME/.local/share}/tarvlesolo-service

if ! (exec 3<>"/dev/tcp/$address/$port") 2>/dev/null; then
    mkdir -p "$data"
    echo "Starting tarvlesolo-service on $host (scores in $data/scores.db, log in $data/service.log)"
    setsid nohup "$build/bin/tarvlesolo-service" --bind "$address" --port "$port" --db "$data/scores.db" \
        >>"$data/service.log" 2>&1 &
fi

cd "$build/bin"
exec ./tarvlesolo
