#!/usr/bin/env bash
# The high score page against nginx serving a static copy of the same page, in turns in one run,
# then postings and verified postings per second; on SQLite and on a PostgreSQL cluster made for
# the run. Needs what scripts/install-deps.sh installs (wrk, nginx, PostgreSQL 15, curl, sqlite3).
#   tests/bench/bench-scale.sh [BUILD_DIR] [STORE...]     STORE: sqlite postgresql (default both)
# ROUNDS (3), SECONDS_EACH (5) and CONNECTIONS (64) change the page runs.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
shift || true
stores=("$@")
[ ${#stores[@]} -eq 0 ] && stores=(sqlite postgresql)
rounds=${ROUNDS:-3}
seconds=${SECONDS_EACH:-5}
connections=${CONNECTIONS:-64}
service=$build/bin/tarvlesolo-service
postings_lua=$here/../server/postings.lua
pgbin=/usr/lib/postgresql/15/bin
page=/counter/tarvlesolo.shtml

work=$(mktemp -d)
chmod 755 "$work"
pids=()
cluster=""
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    if [ -n "$cluster" ]; then as_postgres "$pgbin/pg_ctl" -D "$cluster" -m fast -w stop >/dev/null 2>&1 || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

# PostgreSQL refuses to run as root.
as_postgres() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u nobody -- "$@"; else "$@"; fi
}

free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

wait_port() {
    for _ in $(seq 1 200); do
        (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0
        sleep 0.05
    done
    echo "nothing listens on port $1" >&2
    return 1
}

start_service() { # PORT DB
    "$service" --port "$1" --db "$2" --posting-limit 0 --ticket-limit 0 --min-game-seconds 0 2>/dev/null &
    pids+=($!)
    wait_port "$1"
}

stop_service() {
    local pid=${pids[-1]}
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    unset 'pids[-1]'
}

start_cluster() {
    cluster=$work/pg
    mkdir -p "$cluster"
    [ "$(id -u)" -eq 0 ] && chown nobody "$cluster"
    as_postgres "$pgbin/initdb" -D "$cluster" -U tarvle --auth=trust >/dev/null
    pg_port=$(free_port)
    as_postgres "$pgbin/pg_ctl" -D "$cluster" -l "$cluster/log" -w \
        -o "-p $pg_port -k $cluster -c listen_addresses=127.0.0.1 -c max_connections=200" start >/dev/null
    as_postgres "$pgbin/createdb" -h 127.0.0.1 -p "$pg_port" -U tarvle bench
}

# Rows as the list page shows them at its fullest: 100 ranked, 60 of today's board, 100 unverified.
fill() { # PORT
    local base=http://127.0.0.1:$1
    for i in $(seq 1 100); do curl -fsS -o /dev/null "$base/cgi-bin/tarvlesolo.cgi?name=Old%20player%20$i&date=7/4/13&score=$((i * 7))"; done
    for i in $(seq 1 160); do
        local daily=""
        [ $((i % 8)) -lt 3 ] && daily="?daily=1"
        local ticket
        ticket=$(curl -fsS "$base/tarvlesolo/ticket$daily")
        curl -fsS -o /dev/null "$base/cgi-bin/tarvlesolo.cgi?name=Player%20$i&date=12/8/26&score=0&game=${ticket%% *}&words="
    done
}

stored_count() { # STORE DB
    if [ "$1" = sqlite ]; then sqlite3 "$2" 'SELECT COUNT(*) FROM postings'
    else psql -qtA "$2" -c 'SELECT COUNT(*) FROM postings'; fi
}

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

run_wrk() { # URL -> "rps p99ms"
    wrk -t2 -c"$connections" -d"${seconds}s" --latency "$1" | awk '
        /Requests\/sec/ { rps = $2 }
        $1 == "99%" { v = $2; if (v ~ /us$/) p = v / 1000; else if (v ~ /ms$/) p = v + 0; else p = v * 1000 }
        END { printf "%.0f %.2f\n", rps, p }'
}

echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
for store in "${stores[@]}"; do
    case $store in
    sqlite) db=$work/bench.db ;;
    postgresql) start_cluster; db="postgresql://tarvle@127.0.0.1:$pg_port/bench" ;;
    *) echo "unknown store $store" >&2; exit 2 ;;
    esac
    port=$(free_port)
    start_service "$port" "$db"
    fill "$port"

    # nginx serves the page as the service answers it, with the same two workers' worth of cores.
    mkdir -p "$work/www/counter" "$work/nginx"
    curl -fsS -H "Host: 127.0.0.1:$port" "http://127.0.0.1:$port$page" >"$work/www$page"
    static_port=$(free_port)
    cat >"$work/nginx/nginx.conf" <<CONF
daemon off;
worker_processes auto;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 1024; }
http {
    access_log off;
    types { text/html shtml; }
    client_body_temp_path $work/nginx/body;
    proxy_temp_path $work/nginx/proxy;
    fastcgi_temp_path $work/nginx/fastcgi;
    uwsgi_temp_path $work/nginx/uwsgi;
    scgi_temp_path $work/nginx/scgi;
    server { listen 127.0.0.1:$static_port; root $work/www; }
}
CONF
    nginx -p "$work/nginx" -c "$work/nginx/nginx.conf" &
    pids+=($!)
    wait_port "$static_port"

    echo "== $store: list page ($(wc -c <"$work/www$page") bytes), $connections connections, $rounds rounds of ${seconds} s each, in turns"
    : >"$work/static" && : >"$work/served"
    for round in $(seq 1 "$rounds"); do
        run_wrk "http://127.0.0.1:$static_port$page" >>"$work/static"
        run_wrk "http://127.0.0.1:$port$page" >>"$work/served"
        printf '  round %d: nginx %s req/s p99 %s ms | service %s req/s p99 %s ms\n' "$round" \
            $(tail -1 "$work/static") $(tail -1 "$work/served")
    done
    nginx_rps=$(cut -d' ' -f1 "$work/static" | median)
    service_rps=$(cut -d' ' -f1 "$work/served" | median)
    printf '  median: nginx %s req/s, service %s req/s (%.2fx), service p99 %s ms\n' "$nginx_rps" "$service_rps" \
        "$(echo "$service_rps / $nginx_rps" | bc -l)" "$(cut -d' ' -f2 "$work/served" | median)"
    kill "${pids[-1]}"; wait "${pids[-1]}" 2>/dev/null || true; unset 'pids[-1]'

    for kind in postings verified; do
        before=$(stored_count "$store" "$db")
        line=$(wrk -t2 -c16 -d"${seconds}s" -s "$postings_lua" "http://127.0.0.1:$port" -- "$kind" | tail -1)
        after=$(stored_count "$store" "$db")
        echo "  $line; rows added: $((after - before))"
    done
    stop_service
    if [ "$store" = postgresql ]; then
        as_postgres "$pgbin/pg_ctl" -D "$cluster" -m fast -w stop >/dev/null
        cluster=""
    fi
done
