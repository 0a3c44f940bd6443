#!/usr/bin/env bash
# The record of play from the real window: a game closed with Ctrl+Q while it
# runs is counted as left unfinished in $XDG_DATA_HOME/zarta/record; with no
# HOME and no XDG_DATA_HOME the game plays, F3 still opens its box, and one
# line on standard error says the record is not kept.
# Usage: tests/sdl_record.sh path/to/zarta [screenshot folder]
set -u

program=${1:?usage: sdl_record.sh path/to/zarta [screenshot folder]}
shots=${2:-}
testName=sdl_record
# shellcheck source=tests/xvfb_lib.sh
. "$(dirname "$0")/xvfb_lib.sh"
[ -x "$program" ] || { echo "sdl_record: $program is not executable" >&2; exit 2; }
work=$(mktemp -d)

startVirtualDisplay
trap 'rm -rf "$work"; cleanupVirtualDisplay' EXIT

pressKey() {
    xdotool windowfocus --sync "$1" 2>/dev/null
    xdotool key "$2"
}

# Ctrl+Q in mid-game. South may be dealing: its keep box takes no Ctrl+Q, so
# Escape answers it (and does nothing on the board) before each try.
leaveWithControlQ() {
    local deadline=$(( SECONDS + patience ))
    while :; do
        xdotool key Escape ctrl+q 2>/dev/null
        waitFor "$appPid" 5
        [ "$status" = timeout ] && [ "$SECONDS" -lt "$deadline" ] || break
    done
    [ "$status" = 0 ] || fail "Ctrl+Q should end the program with status 0, got: $status"
    appPid=
}

# ---- Closed in mid-game ---------------------------------------------------------------
XDG_DATA_HOME="$work/data" "$program" 2>"$work/first.err" &
appPid=$!
window=$(awaitZartaWindow)
[ -n "$window" ] || fail "no window named Zarta appeared"
pressKey "$window" F2
sleep 1
leaveWithControlQ
grep -q '^classic described won 0 lost 0 unfinished 1 run 0 best 0$' "$work/data/zarta/record" 2>/dev/null ||
    fail "the game closed in mid-round is not counted as left: $(cat "$work/data/zarta/record" 2>&1)"
[ -s "$work/first.err" ] && fail "the first run complained: $(cat "$work/first.err")"

# ---- Nowhere to keep it -----------------------------------------------------------------
env -u HOME -u XDG_DATA_HOME "$program" 2>"$work/homeless.err" &
appPid=$!
window=$(awaitZartaWindow)
[ -n "$window" ] || fail "no window appeared without a home"
pressKey "$window" F2
sleep 1
pressKey "$window" F3
sleep 1
if [ -n "$shots" ]; then
    mkdir -p "$shots"
    import -window root "$shots/record-homeless.png" || fail "screenshot failed"
fi
pressKey "$window" Return
sleep 0.5
kill -0 "$appPid" 2>/dev/null || fail "the program ended without a home"
leaveWithControlQ
[ "$(grep -c 'zarta: your record of play is not kept: neither XDG_DATA_HOME nor HOME names a folder' \
    "$work/homeless.err")" = 1 ] || fail "without a home, not exactly one line: $(cat "$work/homeless.err")"

echo "sdl_record: OK"
