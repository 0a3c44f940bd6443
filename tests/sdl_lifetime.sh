#!/usr/bin/env bash
# The desktop program's lifetime under a virtual X server with no window
# manager: Ctrl+Q, Game > Exit and the window's close button each end it with
# status 0 and nothing on standard error, ten times each; keys already down
# when the window gets the focus do nothing; a window another program
# destroys ends the program, after which the next start shows its window; a
# window made smaller than the device screen grows back; the invisible video
# drivers are refused.
# Usage: tests/sdl_lifetime.sh path/to/zarta path/to/x-close-request
set -u

program=${1:?usage: sdl_lifetime.sh path/to/zarta path/to/x-close-request}
closeRequest=${2:?usage: sdl_lifetime.sh path/to/zarta path/to/x-close-request}
testName=sdl_lifetime
# shellcheck source=tests/xvfb_lib.sh
. "$(dirname "$0")/xvfb_lib.sh"
[ -x "$program" ] || { echo "$testName: $program is not executable" >&2; exit 2; }

startVirtualDisplay
errors="$runtime/stderr"
root=$(xwininfo -root | awk '/Window id:/ { print $4 }')

startProgram() {
    eventually "$patience" noZartaWindow || fail "$1: the previous program's window stayed"
    "$program" 2>"$errors" &
    appPid=$!
    window=$(awaitZartaWindow)
    [ -n "$window" ] || fail "$1: no window named Zarta appeared"
}

# Waits for the program to end; it must end with status 0 and print nothing.
expectQuietEnd() {
    [ -n "$appPid" ] && waitFor "$appPid" "$patience"
    [ "$status" = 0 ] || fail "$1: the program should end with status 0, got: $status"
    appPid=
    [ ! -s "$errors" ] || fail "$1: standard error is not empty: $(head -c 400 "$errors")"
}

# Clicks the middle of a device-screen rectangle "x y width height".
click() {
    local x y width height WIDTH HEIGHT factor left top accountShown
    read -r x y width height <<<"$1"
    eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(WIDTH|HEIGHT)=[0-9]+$')"
    placeScreen "$WIDTH" "$HEIGHT"
    xdotool mousemove --window "$window" \
        $(( left + (x + width / 2) * factor )) $(( top + (y + height / 2) * factor )) click 1
}
gameButton="0 294 40 26"
newItem="4 224 60 18"
exitItem="4 274 60 18"

# ---- Every way out, ten times each -------------------------------------------

for round in $(seq 10); do
    startProgram "Ctrl+Q $round"
    closeWithControlQ "$window"
    expectQuietEnd "Ctrl+Q $round"

    # The pop-up takes the taps queued behind the one that opened it.
    startProgram "Exit $round"
    click "$gameButton"
    click "$exitItem"
    expectQuietEnd "Game > Exit $round"

    startProgram "close button $round"
    "$closeRequest" "$window"
    expectQuietEnd "close button $round"
done

# ---- Keys held when the focus comes --------------------------------------------

# Makes the window smaller than the device screen and waits until the
# program grows it back: it has then handled every event sent before.
growsBack() {
    eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(WIDTH|HEIGHT)=[0-9]+$')"
    [ "$WIDTH" -ge 240 ] && [ "$HEIGHT" -ge 320 ]
}
roundTrip() {
    xdotool windowsize "$window" 120 160
    eventually "$patience" growsBack || fail "$1: the window stayed at ${WIDTH}x$HEIGHT, smaller than the screen"
}

startProgram "held keys"
xdotool mousemove 1 1
xdotool windowfocus --sync "$root"
xdotool keydown ctrl+q
xdotool windowfocus --sync "$window"
# The program must meet the focus while the keys are still down.
roundTrip "held keys"
sleep 1  # long enough for the held keys to repeat into the window
xdotool keyup ctrl+q
roundTrip "held keys let go"
kill -0 "$appPid" 2>/dev/null || fail "Ctrl+Q held before the window had the focus ended the program"
closeWithControlQ "$window"
expectQuietEnd "Ctrl+Q pressed after the held keys were let go"

# ---- A window destroyed by another program -----------------------------------------

destroyAndRestart() {
    waitFor "$appPid" "$patience"
    [ "$status" = 0 ] || fail "$1: with its window gone the program should end with status 0, got: $status"
    appPid=
    startProgram "$1, the next start"
    closeWithControlQ "$window"
    expectQuietEnd "$1, the next start"
}

startProgram "destroyed while idle"
xdotool windowclose "$window" 2>/dev/null
destroyAndRestart "destroyed while idle"

startProgram "destroyed while dealing"
click "$gameButton"
click "$newItem"
sleep 0.4  # into the deal, on a quiet machine; any moment will do
xdotool windowclose "$window" 2>/dev/null
destroyAndRestart "destroyed while dealing"

startProgram "client killed"
xkill -id "$window" >/dev/null 2>&1
destroyAndRestart "client killed"

# ---- Smaller than the device screen ------------------------------------------------

startProgram "shrunk"
roundTrip "shrunk"
closeWithControlQ "$window"
expectQuietEnd "shrunk"

# ---- Drivers that show nothing ------------------------------------------------------

for driver in dummy offscreen; do
    SDL_VIDEODRIVER=$driver timeout "$patience" "$program" 2>"$errors"
    status=$?
    [ "$status" = 1 ] || fail "SDL_VIDEODRIVER=$driver should be refused with status 1, got: $status"
    grep -q "shows no window" "$errors" || fail "SDL_VIDEODRIVER=$driver: no reason given: $(cat "$errors")"
done
env -u DISPLAY -u WAYLAND_DISPLAY timeout "$patience" "$program" 2>"$errors"
status=$?
[ "$status" = 1 ] || fail "without a display the program should end with status 1, got: $status"
grep -q "cannot open a display" "$errors" || fail "without a display: no reason given: $(cat "$errors")"
# A refused start holds nothing: the next ordinary one shows its window.
startProgram "after the refused starts"
closeWithControlQ "$window"
expectQuietEnd "after the refused starts"

echo "$testName: OK"
