#!/usr/bin/env bash
# Smoke test of the desktop program under a virtual X server: its window
# appears once, a second copy hands over to the first and leaves at once,
# and Ctrl+Q ends the program with status 0.
# Usage: tests/sdl_smoke.sh path/to/zarta [folder for smoke.png]
set -u

program=${1:?usage: sdl_smoke.sh path/to/zarta [screenshot folder]}
shots=${2:-}
[ -x "$program" ] || { echo "sdl_smoke: $program is not executable" >&2; exit 2; }

fail() {
    echo "sdl_smoke: FAIL: $*" >&2
    exit 1
}

display=
for n in $(seq 97 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
        display=":$n"
        break
    fi
done
[ -n "$display" ] || fail "no free X display number"

runtime=$(mktemp -d)
chmod 700 "$runtime"
xvfb=
first=
cleanup() {
    [ -n "$first" ] && kill "$first" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$runtime"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do
    xdpyinfo -display "$display" >/dev/null 2>&1 && break
    sleep 0.1
done
xdpyinfo -display "$display" >/dev/null 2>&1 || fail "Xvfb did not start on $display"

# A runtime folder of our own, so the single-instance rendezvous is this run's alone.
export DISPLAY="$display" XDG_RUNTIME_DIR="$runtime"
# Under the sanitizers: the desktop libraries keep allocations until the process ends.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"

windowsNamedZarta() {
    xdotool search --onlyvisible --name '^Zarta$' 2>/dev/null | wc -l
}

# Waits up to $2 tenths of a second for process $1 to end; sets status to
# its exit status, or to "timeout".
waitFor() {
    for _ in $(seq "$2"); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$1" 2>/dev/null; then
        status=timeout
        return
    fi
    wait "$1"
    status=$?
}

"$program" &
first=$!
window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Zarta$' 2>/dev/null | head -n 1)
[ -n "$window" ] || fail "no window named Zarta appeared"
[ "$(windowsNamedZarta)" -eq 1 ] || fail "expected one Zarta window, found $(windowsNamedZarta)"

started=$(date +%s%N)
"$program" &
second=$!
waitFor "$second" 50
[ "$status" = 0 ] || fail "the second copy should hand over and exit 0, got: $status"
# Unanswered, a second copy gives up after two seconds; answered, it leaves at once.
elapsed=$(( ($(date +%s%N) - started) / 1000000 ))
[ "$elapsed" -lt 1500 ] || fail "the second copy took $elapsed ms: the first did not answer its raise request"
sleep 0.3
[ "$(windowsNamedZarta)" -eq 1 ] || fail "after the second copy: expected one Zarta window, found $(windowsNamedZarta)"
kill -0 "$first" 2>/dev/null || fail "the first copy ended when the second started"

if [ -n "$shots" ]; then
    mkdir -p "$shots"
    sleep 0.5
    import -display "$display" -window root "$shots/smoke.png" || fail "screenshot failed"
fi

xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key --window "$window" ctrl+q 2>/dev/null
waitFor "$first" 50
if [ "$status" = timeout ]; then
    # Some servers drop keys sent to a window; try the focused window instead.
    xdotool key ctrl+q 2>/dev/null
    waitFor "$first" 50
fi
[ "$status" = timeout ] || first=
[ "$status" = 0 ] || fail "Ctrl+Q should end the program with status 0, got: $status"
[ "$(windowsNamedZarta)" -eq 0 ] || fail "the window is still there after Ctrl+Q"

echo "sdl_smoke: OK"
