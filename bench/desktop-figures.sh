#!/usr/bin/env bash
# Figures of the real desktop program under a virtual X server, measured from
# outside: the time from starting it to its window being on screen (the
# window is first shown right after the first frame is drawn into it), its
# memory at rest, and the processor time it uses while it waits for a tap
# over ten seconds (it blocks, so that must be 0). Then, when zarta-pace-figure
# was built beside it, how long the game's pauses really last at three paces.
#
# Usage: bench/desktop-figures.sh PATH/TO/zarta [RUNS]   (needs Xvfb, xdpyinfo, xdotool)
set -euo pipefail
program=${1:?usage: bench/desktop-figures.sh PATH/TO/zarta [RUNS]}
runs=${2:-5}
idleSeconds=10
for command in Xvfb xdpyinfo xdotool; do
    command -v "$command" >/dev/null || { echo "desktop-figures: $command is not installed" >&2; exit 2; }
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

# A display of our own, and a private runtime folder so no other copy of the game answers for us.
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$runtime/display" >/dev/null 2>&1 &
xvfb=$!
number=
for _ in $(seq 100); do
    number=$(head -n 1 "$runtime/display" 2>/dev/null || true)
    [ -n "$number" ] && break
    sleep 0.1
done
[ -n "$number" ] || { echo "desktop-figures: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number" XDG_RUNTIME_DIR=$runtime

now() { date +%s%N; }
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

startups=()
for run in $(seq "$runs"); do
    started=$(now)
    "$program" &
    app=$!
    # Polled rather than xdotool --sync, which only looks twice a second.
    until xdotool search --onlyvisible --name '^Zarta$' >/dev/null 2>&1; do
        kill -0 "$app" 2>/dev/null || { echo "desktop-figures: the program ended before showing its window" >&2; exit 1; }
        sleep 0.002
    done
    startups+=($((($(now) - started) / 1000000)))

    if [ "$run" -eq "$runs" ]; then
        sleep 2
        rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$app/status")
        peak=$(awk '/^VmHWM/ { print $2 }' "/proc/$app/status")
        before=$(ticks "$app")
        sleep "$idleSeconds"
        after=$(ticks "$app")
        state=$(awk '{ print $3 }' "/proc/$app/stat")
    fi
    kill "$app"
    wait "$app" 2>/dev/null || true
    app=
done

sorted=$(printf '%s\n' "${startups[@]}" | sort -n | tr '\n' ' ')
median=$(printf '%s\n' "${startups[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
echo "start-up to the window on screen: median $median ms over $runs runs ($sorted ms)"
echo "memory at rest: VmRSS $rss KiB, VmHWM $peak KiB"
echo "processor time while waiting ${idleSeconds} s: $((after - before)) ticks of 1/$(getconf CLK_TCK) s (process state $state)"
[ "$after" -eq "$before" ] || { echo "desktop-figures: the waiting program used processor time" >&2; exit 1; }

# The pause unit on the real clock: --pace only sets how long a unit lasts.
paceFigure=$(dirname "$program")/zarta-pace-figure
if [ -x "$paceFigure" ]; then
    for pace in 10 40 200; do
        "$paceFigure" "$pace" 3
    done
fi
