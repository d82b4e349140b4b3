#!/usr/bin/env bash
# Plinx against the falling-block games packaged for Debian, each on its own Xvfb server with
# Mesa's software renderer: time to first window, CPU on the first screen and during play (the
# game's process and the X server's, in % of one core), frames per second where the game draws
# with OpenGL, the game's CPU while its window stands still (Plinx paused; any game wholly covered
# by another window, then minimised under a window manager started for that), and peak memory
# (VmHWM). Every figure is the median of RUNS runs.
#
#   bench/peers.sh [BUILD_DIR]        (default: build; Plinx is left out when BUILD_DIR/plinx is missing)
#   RUNS=3 SAMPLE=10 PROGRAMS="plinx crack-attack ltris quadrapassel" bench/peers.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${RUNS:-3}
sample=${SAMPLE:-10}
programs=${PROGRAMS:-"plinx crack-attack ltris quadrapassel"}

packages=(crack-attack ltris quadrapassel xvfb xdotool libx11-dev openbox)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

work=$(mktemp -d)
xserver=""
game=""
cover=""
manager=""
cleanup() {
    [ -n "$game" ] && kill "$game" 2>/dev/null || true
    [ -n "$cover" ] && kill "$cover" 2>/dev/null || true
    [ -n "$manager" ] && kill "$manager" 2>/dev/null || true
    [ -n "$xserver" ] && kill "$xserver" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
cc -O2 -o "$work/firstwindow" bench/firstwindow.c -lX11
cc -O2 -o "$work/coverwindow" bench/coverwindow.c -lX11
hz=$(getconf CLK_TCK)

command_of() {
    case $1 in
    plinx) echo "$build/plinx" ;;
    crack-attack) echo "/usr/games/crack-attack --solo" ;;
    *) echo "/usr/games/$1" ;;
    esac
}

# From the first screen into a running game. Without a window manager the keyboard follows the
# pointer, so the pointer goes into the window first.
start_play() {
    case $1 in
    # "Start Game" is the first entry. The window opens where it asks to, not at the corner, and
    # a key is held for a tenth of a second like a finger would: a tap shorter than a frame
    # (33 ms at 30 frames a second) comes and goes between two frames unseen.
    plinx) xdotool search --onlyvisible --name '^Plinx$' mousemove --window %1 20 20 sleep 0.3 \
        keydown Return sleep 0.1 keyup Return ;;
    crack-attack) xdotool mousemove 5 5 sleep 0.3 key space ;;
    ltris) xdotool mousemove 160 267 sleep 0.3 key Return sleep 0.8 mousemove 160 225 sleep 0.3 key Return ;;
    quadrapassel) xdotool mousemove 492 536 sleep 0.3 click 1 ;;
    esac
}

# Plinx pauses on Escape; the peers' pause keys are not scripted here.
pause_game() {
    case $1 in
    plinx) xdotool keydown Escape sleep 0.1 keyup Escape ;;
    *) return 1 ;;
    esac
}

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# Prints "GAME_CPU X_CPU FPS" over SAMPLE seconds; FPS is "-" when the game draws no GL frames.
measure_cpu() {
    local g0 x0 g1 x1 lines fps
    g0=$(ticks "$game") x0=$(ticks "$xserver")
    lines=$(cat "$work/hud/fps" 2>/dev/null | wc -l)
    sleep "$sample"
    g1=$(ticks "$game") x1=$(ticks "$xserver")
    # Mesa's HUD writes the frame rate about twice a second, but only while frames are drawn.
    fps=$(tail -n +"$((lines + 1))" "$work/hud/fps" 2>/dev/null | awk '{s += $1; n++} END {printf "%.1f", n ? s / n : 0}')
    grep -q swrast_dri "/proc/$game/maps" || fps="-"
    awk -v g=$((g1 - g0)) -v x=$((x1 - x0)) -v hz="$hz" -v s="$sample" -v f="$fps" \
        'BEGIN {printf "%.1f %.1f %s\n", 100 * g / hz / s, 100 * x / hz / s, f}'
}

# One run of one program, appended to the results file: "FIRST_MS IDLE_CPU IDLE_X IDLE_FPS
# PLAY_CPU PLAY_X PLAY_FPS PAUSED_CPU COVERED_CPU MINIMISED_CPU PEAK_MB" ("-" where not measured).
measure_once() {
    local name=$1 display
    # The last run's display number must not be read for this one's before Xvfb writes its own.
    rm -rf "$work/hud" "$work/home" "$work/display" && mkdir -p "$work/hud" "$work/home"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
    xserver=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
    display=:$(cat "$work/display")
    local started
    started=$(env DISPLAY="$display" HOME="$work/home" XDG_DATA_HOME="$work/home/data" \
        LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_HUD=fps GALLIUM_HUD_VISIBLE=false \
        GALLIUM_HUD_DUMP_DIR="$work/hud" SDL_AUDIODRIVER=dummy NO_AT_BRIDGE=1 \
        DBUS_SESSION_BUS_ADDRESS=disabled: \
        "$work/firstwindow" $(command_of "$name") 2>/dev/null </dev/null)
    game=${started% *}
    local first=${started#* }
    sleep 3 # the first screen settles: start-up fades, loading
    local idle play
    idle=$(measure_cpu)
    DISPLAY=$display start_play "$name"
    sleep 3
    play=$(measure_cpu)
    # Still screens: the game's own CPU only.
    local paused="-" covered minimised
    if DISPLAY=$display pause_game "$name"; then
        sleep 1
        paused=$(measure_cpu | cut -d' ' -f1)
        DISPLAY=$display pause_game "$name" # playing again, so that covering is all that stills it
        sleep 1
    fi
    DISPLAY=$display "$work/coverwindow" &
    cover=$!
    sleep 1
    covered=$(measure_cpu | cut -d' ' -f1)
    kill "$cover" && wait "$cover" 2>/dev/null || true
    cover=""
    # Minimising takes a window manager; one is started only now, so that it changes nothing above.
    DISPLAY=$display openbox --sm-disable >/dev/null 2>&1 &
    manager=$!
    sleep 2
    DISPLAY=$display xdotool search --onlyvisible --name '.' windowminimize %@ 2>/dev/null || true
    sleep 1
    minimised=$(measure_cpu | cut -d' ' -f1)
    local peak
    peak=$(awk '/VmHWM/ {printf "%.0f", $2 / 1024}' "/proc/$game/status")
    kill "$game" 2>/dev/null || true
    # Not our child (firstwindow started it): wait for it to be gone, saves on the way out and all.
    for _ in $(seq 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.05; done
    kill "$manager" 2>/dev/null || true
    kill "$xserver" 2>/dev/null || true
    wait "$manager" "$xserver" 2>/dev/null || true
    game="" xserver="" manager=""
    echo "  $name: $first $idle $play $paused $covered $minimised $peak" >&2
    echo "$first $idle $play $paused $covered $minimised $peak" >>"$work/results"
}

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

echo "date: $(date +%F)  runs: $runs  sample: ${sample} s  $(nproc) cores  Mesa $(dpkg-query -W -f='${Version}' libgl1-mesa-dri)"
printf "%-13s %8s %8s %8s %8s %8s %8s %8s %8s %8s %8s %8s\n" program first_ms idle_cpu idle_x \
    idle_fps play_cpu play_x play_fps paused covered minimise peak_mb
for name in $programs; do
    if [ "$name" = plinx ] && [ ! -x "$build/plinx" ]; then
        echo "plinx: no $build/plinx, left out"
        continue
    fi
    : >"$work/results"
    for _ in $(seq "$runs"); do
        measure_once "$name"
    done
    row=""
    for column in 1 2 3 4 5 6 7 8 9 10 11; do
        values=$(awk -v c=$column '{print $c}' "$work/results")
        if grep -q -- '-' <<<"$values"; then row+=" -"; else row+=" $(median <<<"$values")"; fi
    done
    printf "%-13s %8s %8s %8s %8s %8s %8s %8s %8s %8s %8s %8s\n" "$name" $row
done
