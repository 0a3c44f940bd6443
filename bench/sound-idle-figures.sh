#!/usr/bin/env bash
# The processor time the desktop program uses while it waits at the human's
# turn with sound on, measured from outside under a virtual X server: the
# game is started (F2, any keep box answered) at --pace 10 so its cues have
# sounded, then utime + stime from /proc/PID/stat are read every five seconds
# over forty, with the sound device's threads counted at each reading; the
# same once more with --mute. SDL_AUDIODRIVER chooses the sound device (SDL's
# dummy by default: a virtual X server has no sound card).
#
# Usage: bench/sound-idle-figures.sh PATH/TO/zarta   (needs Xvfb and xdotool)
set -euo pipefail
program=${1:?usage: bench/sound-idle-figures.sh PATH/TO/zarta}
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
for command in Xvfb xdotool; do
    command -v "$command" >/dev/null || { echo "sound-idle-figures: $command is not installed" >&2; exit 2; }
done

runtime=$(mktemp -d)
chmod 700 "$runtime"
xvfb=
app=
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$runtime"
}
trap cleanup EXIT

Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$runtime/display" >/dev/null 2>&1 &
xvfb=$!
number=
for _ in $(seq 100); do
    number=$(head -n 1 "$runtime/display" 2>/dev/null || true)
    [ -n "$number" ] && break
    sleep 0.1
done
[ -n "$number" ] || { echo "sound-idle-figures: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number" XDG_RUNTIME_DIR=$runtime XDG_DATA_HOME=$runtime/data

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
soundThreads() { cat /proc/"$1"/task/*/comm 2>/dev/null | grep -c '^SDLAudio' || true; }

measure() {
    "$program" --pace 10 "$@" 2>"$runtime/errors" &
    app=$!
    local window=
    until [ -n "$window" ]; do
        kill -0 "$app" 2>/dev/null || { echo "sound-idle-figures: the program ended: $(cat "$runtime/errors")" >&2; exit 1; }
        window=$(xdotool search --onlyvisible --name '^Zarta$' 2>/dev/null | head -n 1 || true)
        sleep 0.1
    done
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    xdotool key F2
    sleep 1
    xdotool key Escape
    sleep 3
    local start
    start=$(ticks "$app")
    local line="${*:-sound on} ($SDL_AUDIODRIVER): ticks since the turn began, sound threads:"
    for seconds in 5 10 15 20 25 30 35 40; do
        sleep 5
        line+=" ${seconds}s $(( $(ticks "$app") - start ))/$(soundThreads "$app")"
    done
    echo "$line (1 tick = 1/$(getconf CLK_TCK) s, state $(awk '{ print $3 }' "/proc/$app/stat"))"
    [ ! -s "$runtime/errors" ] || echo "  standard error: $(cat "$runtime/errors")"
    kill "$app"
    wait "$app" 2>/dev/null || true
    app=
}

measure
measure --mute
