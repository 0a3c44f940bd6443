#!/usr/bin/env bash
# Sound from the real window: with no sound device the game plays on and one
# line on standard error says so; M turns sound off and the choice is kept in
# $XDG_DATA_HOME/zarta/settings, so the next run never looks for a device;
# --mute silences a run whatever was kept; with a device (SDL's dummy) the
# cues open it, and a silence at the human's turn closes it again.
# Usage: tests/sdl_sound.sh path/to/zarta
set -u

program=${1:?usage: sdl_sound.sh path/to/zarta}
testName=sdl_sound
# shellcheck source=tests/xvfb_lib.sh
. "$(dirname "$0")/xvfb_lib.sh"
[ -x "$program" ] || { echo "sdl_sound: $program is not executable" >&2; exit 2; }
work=$(mktemp -d)

startVirtualDisplay
trap 'rm -rf "$work"; cleanupVirtualDisplay' EXIT
settings=$work/data/zarta/settings

pressKey() {
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key "$1"
}

# Starts the game with its standard error in $1 and the rest of the
# arguments; plays to the human's turn at a quick pace, so cues have sounded.
startGame() {
    local errors=$1
    shift
    eventually "$patience" noZartaWindow || fail "the previous program's window stayed"
    XDG_DATA_HOME="$work/data" "$program" --pace 10 "$@" 2>"$errors" &
    appPid=$!
    window=$(awaitZartaWindow)
    [ -n "$window" ] || fail "no window named Zarta appeared ($*)"
    pressKey F2
    sleep 1
    # South may deal: Escape answers its keep box (and does nothing on the board).
    pressKey Escape
    sleep 2
    kill -0 "$appPid" 2>/dev/null || fail "the game ended while it played ($*): $(cat "$errors")"
}

endGame() {
    closeWithControlQ "$window"
    [ "$status" = 0 ] || fail "$1: Ctrl+Q should end the program with status 0, got: $status"
}

# A sound device that cannot open: ALSA asked for a device it does not have,
# which also writes ALSA's own complaints to standard error unless kept off it.
noDevice() { SDL_AUDIODRIVER=alsa AUDIODEV=no-such-device "$@"; }

settingsAre() { [ "$(cat "$settings" 2>/dev/null)" = "$1" ]; }
soundThreads() { cat /proc/"$appPid"/task/*/comm 2>/dev/null | grep -c '^SDLAudio'; }
deviceOpen() { [ "$(soundThreads)" -gt 0 ]; }
deviceClosed() { [ "$(soundThreads)" -eq 0 ]; }

# ---- No sound device ------------------------------------------------------------
noDevice startGame "$work/none.err"
eventually "$patience" grep -q . "$work/none.err" || fail "no device, yet nothing was said"
pressKey m
eventually "$patience" settingsAre $'zarta settings 1\nsound off' ||
    fail "M did not keep sound off: $(cat "$settings" 2>&1)"
endGame "no device"
[ "$(wc -l <"$work/none.err")" = 1 ] && grep -q '^zarta: no sound, the game plays silently: ' "$work/none.err" ||
    fail "no device: not exactly the one line: $(cat "$work/none.err")"

# ---- Kept off: the device is never looked for -------------------------------------
noDevice startGame "$work/off.err"
endGame "kept off"
[ ! -s "$work/off.err" ] || fail "sound kept off still looked for a device: $(cat "$work/off.err")"

# ---- --mute wins over a kept "on", and leaves it kept -------------------------------
printf 'zarta settings 1\nsound on\n' >"$settings"
noDevice startGame "$work/mute.err" --mute
endGame "--mute"
[ ! -s "$work/mute.err" ] || fail "--mute still looked for a device: $(cat "$work/mute.err")"
settingsAre $'zarta settings 1\nsound on' || fail "--mute changed what was kept: $(cat "$settings")"

# ---- A device: opened for the cues, closed by a silence ------------------------------
startGame "$work/dummy.err"
eventually 10 deviceOpen || fail "the cues of a game did not open the sound device"
# The human's turn waits in silence: the device closes after ten seconds of it.
eventually "$patience" deviceClosed || fail "the sound device stayed open through a long silence"
pressKey m
pressKey m
endGame "dummy device"
[ ! -s "$work/dummy.err" ] || fail "with a sound device, standard error is not empty: $(cat "$work/dummy.err")"

echo "sdl_sound: OK"
