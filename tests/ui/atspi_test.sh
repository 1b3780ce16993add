#!/usr/bin/env bash
# The running game through the real AT-SPI bus under Xvfb: a private session
# bus, the accessibility bus launcher, and the program (a copy in a folder of
# its own) with accessibility forced on; atspi_probe.py reads it.
# Usage: atspi_test.sh PROGRAM PROBE
set -euo pipefail

program=$1
probe=$2
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || [ -z "${TARVLE_ATSPI_INNER:-}" ]; then
    export TARVLE_ATSPI_INNER=1
    exec dbus-run-session -- "$0" "$@"
fi

# A free display, told by the server itself.
exec 5<> "$work/display"
# -noreset: the bus launcher connects and leaves before the game, and a
# server resetting then refuses the game its connection.
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do
    display=$(head -n1 "$work/display" 2>/dev/null || true)
    [ -n "$display" ] && break
    sleep 0.05
done
[ -n "$display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=:$display

/usr/libexec/at-spi-bus-launcher --launch-immediately 2>"$work/bus.log" &
pids+=($!)

cp "$program" "$work/tarvlesolo"
(cd "$work" && QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb exec ./tarvlesolo) 2>"$work/game.log" &
pids+=($!)

window=""
for _ in $(seq 200); do
    window=$(xdotool search --onlyvisible --name '^Tarvle Solo' 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && break
    sleep 0.05
done
[ -n "$window" ] || { echo "the game's window did not appear on :$display" >&2; cat "$work/game.log" "$work/xvfb.log" "$work/bus.log" >&2; ls -la /tmp/.X11-unix >&2; exit 1; }
xdotool windowfocus --sync "$window"

/usr/bin/python3 "$probe" "$window"
