#!/usr/bin/env bash
# Smoke test of the desktop program under a virtual X server: its window
# appears once, a second copy hands over to the first and leaves with
# status 0, and Ctrl+Q ends the program with status 0.
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

"$program" &
second=$!
waitFor "$second" "$patience"
# Unanswered, a second copy gives up with status 1 and says so: 0 is the first copy's answer.
[ "$status" = 0 ] || fail "the second copy should hand over and exit 0, got: $status"
eventually "$patience" oneZartaWindow ||
    fail "after the second copy: expected one Zarta window, found $(windowsNamedZarta)"
kill -0 "$appPid" 2>/dev/null || fail "the first copy ended when the second started"

if [ -n "$shots" ]; then
    mkdir -p "$shots"
    sleep 0.5
    import -window root "$shots/smoke.png" || fail "screenshot failed"
fi

closeWithControlQ "$window"
[ "$status" = 0 ] || fail "Ctrl+Q should end the program with status 0, got: $status"
eventually "$patience" noZartaWindow || fail "the window is still there after Ctrl+Q"

echo "sdl_smoke: OK"
