#!/usr/bin/env bash
# What happened beside the board at any width, under a virtual X server tall
# enough for scale 3: the window opens with the board and the account side
# by side at scale 3; made 1000 pixels wide, where the board alone would
# take scale 3 and leave 280 columns black, both show at scale 2, and W
# hides the account (the board alone at scale 3) and brings it back; at the
# opening width W does the same; shown in a window too narrow for both even
# at scale 1, it widens the window. In a game, the mouse wheel over the account
# scrolls it down to older lines and back up to the newest, its scroll bar's
# thumb following; the wheel over the board leaves it.
# Usage: tests/sdl_account.sh path/to/zarta [screenshot folder]
set -u

program=${1:?usage: sdl_account.sh path/to/zarta [screenshot folder]}
shots=${2:-}
testName=sdl_account
export XVFB_SCREEN=1280x1024x24
# shellcheck source=tests/xvfb_lib.sh
. "$(dirname "$0")/xvfb_lib.sh"
[ -x "$program" ] || { echo "$testName: $program is not executable" >&2; exit 2; }
[ -n "$shots" ] && mkdir -p "$shots"

requireCommands import convert
startVirtualDisplay
work=$runtime/shots
mkdir -p "$work"

# ---- The window and its pixels ------------------------------------------------

captionBlue='#1C3C78'  # the title bar, the account's caption bar
white='#FFFFFF'
buttonGrey='#C0C0C0'   # the Stop and Pass buttons
thumbGrey='#808080'    # the account's scroll bar
titleBar="0 0 240 26"
account="244 0 172 320"
accountCaption="244 0 172 26"
accountText="244 26 166 294"  # left of the scroll bar
scrollBar="413 32 1 282"
stopButton="60 193 40 20"
passButton="141 193 40 20"

factor=1
left=0
top=0
accountShown=0
windowWidth=0
windowHeight=0

readWindowFit() {
    local WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(WIDTH|HEIGHT)=[0-9]+$')"
    placeScreen "$WIDTH" "$HEIGHT"
    windowWidth=$WIDTH
    windowHeight=$HEIGHT
}

boardShows() { above "$(share "$captionBlue" "$titleBar")" 0.9; }
accountShows() { above "$(share "$captionBlue" "$accountCaption")" 0.55 && above "$(share "$white" "$accountText")" 0.6; }
showsButton() { above "$(share "$buttonGrey" "$1")" 0.4; }
isMyTurn() { showsButton "$stopButton" || showsButton "$passButton"; }
boxShown() { above "$(share "$captionBlue" "156 127 16 12")" 0.9; }
hasThumb() { above "$(share "$thumbGrey" "$scrollBar")" 0; }
thumbAtTop() { above "$(share "$thumbGrey" "413 32 1 3")" 0.9; }

waitUntil() {
    local deadline=$(( SECONDS + patience ))
    while :; do
        grab && "$@" && return 0
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

pressKey() {
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key "$1"
}

resizeTo() {
    xdotool windowsize --sync "$window" "$1" "$2" 2>/dev/null || xdotool windowsize "$window" "$1" "$2"
    sizeTaken() { xdotool getwindowgeometry "$window" | grep -q "Geometry: $1x$2\$"; }
    eventually "$patience" sizeTaken "$1" "$2" || fail "the window did not take the size $1 x $2"
    readWindowFit
}

# W hides the account, the board alone at scale $2, and W brings it back.
hideAndShow() {
    local withAccount=$factor
    pressKey w
    accountHidden=1
    readWindowFit
    [ "$factor" = "$2" ] || fail "$1: alone the board should take scale $2, not $factor"
    waitUntil boardShows || { keep "failed-$1-hidden"; fail "$1: after W the board does not show alone"; }
    waitUntil rightBarBlack || { keep "failed-$1-stays"; fail "$1: What happened stays after W"; }
    keep "$1-hidden"
    pressKey w
    accountHidden=0
    readWindowFit
    [ "$factor" = "$withAccount" ] || fail "$1: with What happened back the scale should be $withAccount, not $factor"
    waitUntil accountShows || { keep "failed-$1-back"; fail "$1: W does not bring What happened back"; }
    boardShows || { keep "failed-$1-back-board"; fail "$1: with What happened back the board does not show"; }
}

# Scrolls the wheel $2 notches ("4" up, "5" down) at device point $1.
wheel() {
    local x y
    read -r x y <<<"$1"
    xdotool mousemove --window "$window" $(( left + x * factor )) $(( top + y * factor ))
    xdotool click --repeat "$3" --delay 30 "$2"
}

# ---- The test ------------------------------------------------------------------

XDG_DATA_HOME="$runtime/data" "$program" --pace 20 &
appPid=$!
window=$(awaitZartaWindow)
[ -n "$window" ] || fail "no window named Zarta appeared"
readWindowFit
echo "$testName: window ${windowWidth}x$windowHeight, scale $factor, screen at +$left+$top"
[ "$factor" = 3 ] && [ "$windowWidth" = 1248 ] ||
    fail "on a 1280 x 1024 display the window should open 1248 wide at scale 3, not $windowWidth at $factor"
waitUntil accountShows || { keep failed-opening; fail "no What happened beside the board as the window opens"; }
keep opening
openingWidth=$windowWidth
openingHeight=$windowHeight

resizeTo 1000 "$openingHeight"
[ "$factor" = 2 ] && [ "$left" = 84 ] || fail "1000 pixels wide the board should step down to scale 2 at 84, not $factor at $left"
waitUntil accountShows || { keep failed-1000; fail "1000 pixels wide What happened is not shown"; }
boardShows || { keep failed-1000-board; fail "1000 pixels wide the board is not where it should be"; }
isCrisp "$account" || { keep failed-1000-blurred; fail "What happened is not drawn at the board's scale"; }
keep width-1000
hideAndShow width-1000 3

resizeTo "$openingWidth" "$openingHeight"
waitUntil accountShows || { keep failed-reopened; fail "at the opening width What happened is not shown"; }
hideAndShow opening-width 3

# Hidden, the account lets the window narrow past both; shown again, it widens the window to hold both.
pressKey w
accountHidden=1
resizeTo 300 400
waitUntil boardShows || { keep failed-300; fail "300 pixels wide the board alone does not show"; }
pressKey w
accountHidden=0
widened() { readWindowFit; [ "$windowWidth" -ge 416 ]; }
eventually "$patience" widened || fail "W in a window 300 pixels wide does not widen it for What happened"
waitUntil accountShows || { keep failed-widened; fail "W in a window 300 pixels wide does not show What happened"; }
keep widened
resizeTo "$openingWidth" "$openingHeight"

# A game, played on with Pass (else Stop) until the account holds more than it shows.
pressKey F2
deadline=$(( SECONDS + 4 * patience ))
until grab && isMyTurn && hasThumb; do
    [ "$SECONDS" -lt "$deadline" ] || { keep failed-no-scroll-bar; fail "the account never held more than it shows"; }
    if boxShown; then
        pressKey Return
    elif isMyTurn; then
        if showsButton "$passButton"; then pressKey p; else pressKey s; fi
        sleep 0.3
    fi
    sleep 0.1
done
thumbAtTop || { keep failed-thumb; fail "the scroll bar's thumb is not at the top, with the newest lines"; }
keep account-newest
newest=$(signature "$accountText")

wheel "120 140" 5 3
sleep 1
grab
[ "$(signature "$accountText")" = "$newest" ] || { keep failed-wheel-board; fail "the wheel over the board scrolled the account"; }

wheel "330 170" 5 3
scrolledDown() { [ "$(signature "$accountText")" != "$newest" ] && ! thumbAtTop; }
waitUntil scrolledDown || { keep failed-wheel-down; fail "the wheel over the account does not scroll it down"; }
keep account-scrolled
wheel "330 170" 4 3
backAtNewest() { [ "$(signature "$accountText")" = "$newest" ] && thumbAtTop; }
waitUntil backAtNewest || { keep failed-wheel-up; fail "the wheel turned back does not bring the newest lines back"; }

closeWithControlQ "$window"
[ "$status" = 0 ] || fail "Ctrl+Q should end the program with status 0, got: $status"
echo "$testName: OK"
