#!/usr/bin/env bash
# A display that goes away while the desktop program starts: the connection
# is cut after every amount of the server's bytes from none to all a start
# receives, so every step of the start-up meets it. Each start must end with
# status 0 or 1 and say only the program's own lines, never Xlib's report.
# Usage: tests/sdl_display_lost.sh path/to/zarta
set -u

program=${1:?usage: sdl_display_lost.sh path/to/zarta}
testName=sdl_display_lost
# shellcheck source=tests/xvfb_lib.sh
. "$(dirname "$0")/xvfb_lib.sh"
[ -x "$program" ] || { echo "$testName: $program is not executable" >&2; exit 2; }
requireCommands python3

startVirtualDisplay
realNumber=${DISPLAY#:}
cutter="$(dirname "$0")/x_connection_cutter.py"
errors="$runtime/stderr"
report="$runtime/cutter"
cutterErrors="$runtime/cutter-errors"
cutterPid=
trap 'kill "$cutterPid" 2>/dev/null; cleanupVirtualDisplay' EXIT

# Reads the number the cutter serves; true once it has, or once the cutter has ended.
cutterNumber() {
    number=$(head -n 1 "$report" 2>/dev/null)
    [ -n "$number" ] || processEnded "$cutterPid"
}

# Starts the program (which leaves after its first frame) through a cutter
# that ends each connection after $1 bytes from the server; sets status.
# The cutter is asked to finish rather than killed: it reports a connection
# only once it has seen it end, which may be well after the program has.
startCutAfter() {
    python3 "$cutter" "$realNumber" "$1" >"$report" 2>"$cutterErrors" &
    cutterPid=$!
    local number="" started
    eventually "$patience" cutterNumber
    [ -n "$number" ] || fail "the connection cutter did not start: $(cat "$cutterErrors")"
    DISPLAY=":$number" ZARTA_EXIT_AFTER_FIRST_FRAME=1 timeout "$patience" "$program" 2>"$errors"
    started=$?
    kill "$cutterPid" 2>/dev/null
    waitFor "$cutterPid" "$patience"
    [ "$status" != timeout ] || fail "the connection cutter did not finish"
    status=$started
    cutterPid=
}

# Uncut, to learn how much a start receives on its busiest connection.
startCutAfter 1000000000
[ "$status" = 0 ] || fail "an uncut start ended with $status: $(cat "$errors")"
total=$(awk '$1 == "passed" && $2 > most { most = $2 } END { print most + 0 }' "$report")
[ "$total" -gt 0 ] || fail "the cutter saw no connection"

lost=0
steps=60
for step in $(seq 0 "$steps"); do
    limit=$(( total * step / steps ))
    startCutAfter "$limit"
    [ "$status" = 0 ] || [ "$status" = 1 ] || fail "cut after $limit of $total bytes: status $status: $(cat "$errors")"
    if grep -qv '^zarta: ' "$errors"; then
        fail "cut after $limit of $total bytes: not the program's own message: $(cat "$errors")"
    fi
    grep -q '^zarta: the connection to the display was lost$' "$errors" && lost=$((lost + 1))
done
# The cuts must have met the connection after it was made, not only before.
[ "$lost" -gt 0 ] || fail "no cut met an open connection"

echo "$testName: OK ($lost of $((steps + 1)) cuts met an open connection, of $total bytes)"
