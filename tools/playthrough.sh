#!/bin/sh
# Plays the built game under a private X server, the way a player would: the title, a game with
# Down held until it ends, a name typed for the table, the table, and Quit. Takes a screenshot of
# every screen and checks that scores.txt keeps the name. Needs Xvfb, xdotool and ImageMagick.
#
#   tools/playthrough.sh [path/to/plinx] [screenshot folder]
set -eu

game=$(realpath "${1:-build/plinx}")
shots=${2:-/tmp/plinx-shots}
mkdir -p "$shots"
data=$(mktemp -d)
display=:$((90 + $$ % 100))

# A fresh player's table that any finished game beats, so the name entry comes up.
mkdir -p "$data/plinx"
{
    echo "{"; echo "name"; for i in 0 1 2 3 4 5 6 7 8 9; do echo "Nobody$i"; done; echo "}"
    echo "{"; echo "score"; for i in 0 1 2 3 4 5 6 7 8 9; do echo "-1"; done; echo "}"
} >"$data/plinx/scores.txt"

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display" XDG_DATA_HOME="$data" LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy
cleanup() {
    [ -n "${plinx:-}" ] && kill "$plinx" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$data"
}
trap cleanup EXIT
sleep 1

"$game" >"$shots/stdout.txt" 2>&1 &
plinx=$!
shot() { sleep 0.2; import -window root "$shots/$1.png"; echo "shot $1"; }
press() { xdotool key --delay 120 "$@"; }

window=""
for _ in $(seq 50); do
    window=$(xdotool search --name Plinx 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "no game window"; exit 1; }
xdotool windowfocus --sync "$window" 2>/dev/null || true

sleep 0.3 && shot 1-loading
sleep 2.5 && shot 2-title

press Return            # Start Game
sleep 3 && shot 3-game
press Escape && shot 4-paused
press Escape

# Hold Down: the pieces drop fast onto the middle columns and the well fills within seconds;
# the entry screen follows the game's end (Down types nothing there).
xdotool keydown Down
sleep 1.2 && shot 3-game-falling
sleep ${HOLD_SECONDS:-25}
xdotool keyup Down
sleep 2.5 && shot 5-entry

press BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
press shift+a n n a
sleep 0.3 && shot 5-entry-typed
press Return
sleep 1.5 && shot 6-table

grep -q Anna "$data/plinx/scores.txt" || { echo "scores.txt lacks the name"; cat "$data/plinx/scores.txt"; exit 1; }
echo "scores.txt holds Anna"

press Return            # Continue
sleep 1.5 && shot 7-title-again
press Down Down Return  # Quit Game
for _ in $(seq 30); do kill -0 "$plinx" 2>/dev/null || break; sleep 0.1; done
wait "$plinx" && status=0 || status=$?
plinx=""
echo "exit status $status"
[ -f "$data/plinx/prefs.txt" ] && echo "prefs.txt written"
