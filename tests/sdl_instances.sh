#!/usr/bin/env bash
# The single-instance rule per display, under two virtual X servers sharing
# one XDG_RUNTIME_DIR: a start on the second display gets a game of its own
# while a start on the first hands over to the game there; the same holds
# with the /tmp fallback; a start meeting a stopped copy names it and exits
# with status 1.
# Usage: tests/sdl_instances.sh path/to/zarta
set -u

program=${1:?usage: sdl_instances.sh path/to/zarta}
testName=sdl_instances
# shellcheck source=tests/xvfb_lib.sh
. "$(dirname "$0")/xvfb_lib.sh"
[ -x "$program" ] || { echo "$testName: $program is not executable" >&2; exit 2; }

startVirtualDisplay
startSecondVirtualDisplay
firstDisplay=$DISPLAY
errors="$runtime/stderr"
secondPid=
stoppedPid=
endSecond() {
    [ -n "$stoppedPid" ] && kill -CONT "$stoppedPid" 2>/dev/null
    [ -n "$secondPid" ] && kill "$secondPid" 2>/dev/null
    cleanupVirtualDisplay
}
trap endSecond EXIT

# Runs a start that must hand over to the game on display $1: status 0, no new window.
# Unanswered, a start gives up with status 1 and says so: 0 is the game's answer.
expectHandOver() {
    local pid
    DISPLAY=$1 "$program" 2>"$errors" &
    pid=$!
    waitFor "$pid" "$patience"
    [ "$status" = 0 ] || fail "$2: a start on $1 should hand over and exit 0, got: $status ($(cat "$errors"))"
    DISPLAY=$1 eventually "$patience" oneZartaWindow ||
        fail "$2: expected one window on $1, found $(DISPLAY=$1 windowsNamedZarta)"
}

# Starts a game on each display; each must show its own window and keep running.
startOnBoth() {
    "$program" &
    appPid=$!
    [ -n "$(awaitZartaWindow)" ] || fail "$1: no window appeared on the first display"
    DISPLAY=$secondDisplay "$program" 2>"$errors" &
    secondPid=$!
    [ -n "$(DISPLAY=$secondDisplay awaitZartaWindow)" ] ||
        fail "$1: no window appeared on the second display ($(cat "$errors"))"
    kill -0 "$secondPid" 2>/dev/null || fail "$1: the game on the second display ended"
    kill -0 "$appPid" 2>/dev/null || fail "$1: the game on the first display ended"
}

endBoth() {
    closeWithControlQ "$(awaitZartaWindow)"
    [ "$status" = 0 ] || fail "$1: Ctrl+Q on the first display ended with $status"
    kill "$secondPid" 2>/dev/null
    waitFor "$secondPid" "$patience"
    secondPid=
    eventually "$patience" noZartaWindow || fail "$1: a window stayed on the first display"
    DISPLAY=$secondDisplay eventually "$patience" noZartaWindow || fail "$1: a window stayed on the second display"
}

# ---- One game per display, in the runtime directory ----------------------------------

startOnBoth "runtime directory"
expectHandOver "$firstDisplay" "runtime directory"
expectHandOver "$secondDisplay" "runtime directory"
# A screen number or the unix: prefix names the same display.
expectHandOver "unix$firstDisplay.0" "runtime directory, another name"

# ---- A copy that does not answer ----------------------------------------------------

kill -STOP "$appPid"
stoppedPid=$appPid
DISPLAY=$firstDisplay "$program" 2>"$errors" &
pid=$!
waitFor "$pid" "$patience"
kill -CONT "$appPid"
stoppedPid=
[ "$status" = 1 ] || fail "a start meeting a stopped copy should exit with status 1, got: $status"
grep -q "another copy (process $appPid) holds the game and does not answer" "$errors" ||
    fail "a start meeting a stopped copy does not say so: $(cat "$errors")"
kill -0 "$appPid" 2>/dev/null || fail "the stopped copy ended"
expectHandOver "$firstDisplay" "after the stopped copy goes on"
endBoth "runtime directory"

# ---- One game per display, in the /tmp fallback ----------------------------------------

# The fallback folder is shared with every other run as this user: take away
# only what this part leaves in it.
fallback=/tmp/zarta-$(id -u)
before=$(find "$fallback" -mindepth 1 -maxdepth 1 -printf '%f\n' 2>/dev/null)
unset XDG_RUNTIME_DIR
startOnBoth "/tmp fallback"
expectHandOver "$secondDisplay" "/tmp fallback"
endBoth "/tmp fallback"
for path in "$fallback"/*; do
    [ -e "$path" ] || [ -S "$path" ] || continue
    grep -qxF "${path##*/}" <<<"$before" || rm -f "$path"
done

echo "$testName: OK"
