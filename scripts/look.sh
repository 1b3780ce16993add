#!/usr/bin/env bash
# Opens every window of the game under Xvfb at a display scale and saves a
# picture of each: main (during a game), tally, help, about, multiplayer and
# high scores. For looking at the windows, e.g. at 200 %:
#   scripts/look.sh 2 /tmp/look-200
# Needs xvfb, xdotool and imagemagick (apt-get install xvfb xdotool imagemagick).
set -euo pipefail
cd "$(dirname "$0")/.."

scale=${1:-1}
out=$(realpath -m "${2:-/tmp/tarvle-look-$scale}")
for tool in xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || { echo "look: $tool is missing (xvfb, xdotool, imagemagick)" >&2; exit 1; }
done
[ -x build/bin/tarvlesolo ] || { echo "look: build the game first (make)" >&2; exit 1; }
mkdir -p "$out"

work=$(mktemp -d)
service=
trap '[ -z "$service" ] || kill $service; rm -rf "$work"' EXIT
cp build/bin/tarvlesolo "$work/"

# A service of its own with a few scores, unless one answers already.
host=$(sed -n 's/^TARVLE_SERVICE_HOST:[A-Z]*=//p' build/CMakeCache.txt)
address=${host%:*}
port=${host##*:}
if ! (exec 3<>"/dev/tcp/$address/$port") 2>/dev/null; then
    build/bin/tarvlesolo-service --bind "$address" --port "$port" --db "$work/scores.db" >/dev/null 2>&1 &
    service=$!
    sleep 0.5
    for entry in "Ada 61" "Basil 47" "Cleo 38"; do
        exec 3<>"/dev/tcp/$address/$port"
        printf 'GET /cgi-bin/tarvlesolo.cgi?name=%s&date=12/07/2026&score=%s HTTP/1.0\r\n\r\n' $entry >&3
        cat <&3 >/dev/null
        exec 3<&-
    done
fi

cat >"$work/look.sh" <<'LOOK'
#!/usr/bin/env bash
set -u
cd "$(dirname "$0")"
out=$1
QT_SCALE_FACTOR=$2 ./tarvlesolo &
game=$!
sleep 3
main=$(xdotool search --sync --name "^Tarvle Solo - Brenik Software$" | head -1)
menu() { # keys that open a window from the main window's menu
    xdotool windowfocus --sync "$main"
    xdotool key --delay 150 "$@"
}
snap() { # window title, picture name; the window is put away afterwards
    local id
    sleep 1
    id=$(xdotool search --sync --onlyvisible --name "^$1\$" | head -1)
    import -window "$id" "$out/$2.png"
    [ "$2" = main ] || xdotool windowunmap --sync "$id"
}
# The pointer well away from the buttons, which light up under it; the name
# panel takes the name on Enter.
xdotool mousemove $(awk -v s="$2" 'BEGIN { printf "%d %d", 790 * s, 690 * s }')
xdotool windowfocus --sync "$main"
xdotool key Return
# The menu first: during a game every key belongs to the board.
menu alt+v Return;          snap "Tarvle Solo - Tally List" tally
menu alt+v Down Return;     snap "Tarvle Solo - High Scores" highscore
menu alt+h Return;          snap "Tarvle Solo - Help File" help
menu alt+h Up Return;       snap "Tarvle Solo - About" about
menu alt+h Right Return;    snap "Tarvle Solo - Multiplayer" multiplayer
menu ctrl+s
for word in eat tea ate rot tie toe ear are one red tide rate note; do
    xdotool type --delay 60 "$word"
    xdotool key Return
done
snap "Tarvle Solo - Brenik Software" main
kill $game
wait $game
LOOK
chmod +x "$work/look.sh"

size=$(awk -v s="$scale" 'BEGIN { printf "%dx%d", 800 * s, 700 * s }')
xvfb-run -a -s "-screen 0 ${size}x24" "$work/look.sh" "$out" "$scale" >/dev/null 2>&1
ls "$out"
