#!/usr/bin/env bash
# Smoke test of the desktop program under a virtual X server: its window
# appears once, a second copy hands over to the first and leaves at once,
# and Ctrl+Q ends the program with status 0.
# Usage: tests/sdl_smoke.sh path/to/zarta [folder for smoke.png]
set -u

program=${1:?usage: sdl_smoke.sh path/to/zarta [screenshot folder]}
shots=${2:-}
testName=sdl_smoke
# shellcheck source=tests/xvfb_lib.sh
. "$(dirname "$0")/xvfb_lib.sh"
[ -x "$program" ] || { echo "sdl_smoke: $program is not executable" >&2; exit 2; }

startVirtualDisplay

"$program" &
appPid=$!
window=$(awaitZartaWindow)
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
kill -0 "$appPid" 2>/dev/null || fail "the first copy ended when the second started"

if [ -n "$shots" ]; then
    mkdir -p "$shots"
    sleep 0.5
    import -window root "$shots/smoke.png" || fail "screenshot failed"
fi

closeWithControlQ "$window"
[ "$status" = 0 ] || fail "Ctrl+Q should end the program with status 0, got: $status"
[ "$(windowsNamedZarta)" -eq 0 ] || fail "the window is still there after Ctrl+Q"

echo "sdl_smoke: OK"
