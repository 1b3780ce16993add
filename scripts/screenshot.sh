#!/usr/bin/env bash
# Makes docs/screenshot.png: the game run under Xvfb, a game started and a
# few words typed, the window cut out of the screen.
# Needs xvfb, xdotool and imagemagick (apt-get install xvfb xdotool imagemagick).
set -euo pipefail
cd "$(dirname "$0")/.."

for tool in xvfb-run xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing (xvfb, xdotool, imagemagick)" >&2; exit 1; }
done
[ -x build/bin/tarvlesolo ] || { echo "screenshot: build the game first (make)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp build/bin/tarvlesolo "$work/"
out=$(pwd)/docs/screenshot.png

cat >"$work/play.sh" <<'PLAY'
#!/usr/bin/env bash
set -u
cd "$(dirname "$0")"
./tarvlesolo &
game=$!
sleep 2
# The window sits at 3,3 without a window manager: close the name panel,
# press START GAME, then type words and send each with Enter.
xdotool mousemove 213 303 click 1
sleep 0.3
xdotool mousemove 459 491 click 1
sleep 1
for word in eat tea ate rot tie toe ear are one red tide rate note; do
    xdotool type --delay 60 "$word"
    xdotool key Return
    sleep 0.2
done
xdotool mousemove 700 650
sleep 1
import -window root screen.png
kill $game
PLAY
chmod +x "$work/play.sh"

xvfb-run -a -s "-screen 0 800x700x24" "$work/play.sh" >/dev/null 2>&1
convert "$work/screen.png" -crop 568x580+3+3 +repage "$out"
echo "wrote $out"
