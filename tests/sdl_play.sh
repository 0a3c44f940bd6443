#!/usr/bin/env bash
# Plays the desktop program under a virtual X server the way a person does,
# with clicks in its window and key presses, and checks what the window shows:
# Game > New brings a deal with three face-up table cards; a tapped hand card
# shows the veil and a second tap takes it off; a hand card exchanged with a
# table card then shows that card, and tapping all three hand cards swaps the
# hand with the table; Pass or Stop hides the buttons and shows the call in a
# bubble that goes again; the keyboard plays too (a key shows the yellow
# focus frame, Space takes the framed card, the arrows move the frame, a click
# hides it, F1 shows How to play, page by page); What happened beside the
# board says how to start, then follows the game, W hides and shows it, and a
# window too narrow for both at the board's scale shows both at a smaller
# one; the round ends with every hand face up;
# a new window size shows the picture at its new scale, and a window hidden
# and shown again shows it still; Ctrl+Q ends the program with status 0.
# With --whole-game it plays on (Pass when offered, else Stop, Enter for the
# boxes) to the "Game Over" box, keeping a screenshot of every turn and round end.
# Usage: tests/sdl_play.sh path/to/zarta [screenshot folder] [--whole-game]
set -u

program=${1:?usage: sdl_play.sh path/to/zarta [screenshot folder] [--whole-game]}
shots=${2:-}
wholeGame=${3:-}
testName=sdl_play
# shellcheck source=tests/xvfb_lib.sh
. "$(dirname "$0")/xvfb_lib.sh"
[ -x "$program" ] || { echo "$testName: $program is not executable" >&2; exit 2; }
if [ -n "$shots" ]; then
    mkdir -p "$shots"
    rm -f "$shots"/failed-*.png
fi

requireCommands import convert
startVirtualDisplay
work=$runtime/shots
mkdir -p "$work"
began=$(date +%s)

# ---- The window and its pixels ------------------------------------------------

# Device screen: 240 x 320, title bar above the board, menu bar below it.
boardTop=26
white='#FFFFFF'
buttonGrey='#C0C0C0'   # the Stop and Pass buttons
captionBlue='#1C3C78'  # box captions
# Board places, board coordinates: x y width height.
table=("74 98 29 41" "104 98 29 41" "134 98 29 41")
south=("60 190 29 41" "90 190 29 41" "120 190 29 41")
west=("8 60 41 29" "8 90 41 29" "8 120 41 29")
north=("90 8 29 41" "120 8 29 41" "150 8 29 41")
east=("190 90 41 29" "190 120 41 29" "190 150 41 29")
stopButton="60 167 40 20"
passButton="141 167 40 20"

factor=1
left=0
top=0

accountShown=0
windowWidth=0

# Where the device screen lies in the window: the largest whole factor, and
# What happened beside it where both fit.
readWindowFit() {
    local WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(WIDTH|HEIGHT)=[0-9]+$')"
    placeScreen "$WIDTH" "$HEIGHT"
    [ "$factor" -ge 1 ] || fail "window ${WIDTH}x$HEIGHT is smaller than the device screen"
    windowWidth=$WIDTH
}

# A board place (board coordinates) as a device rectangle.
onBoard() {
    local x y width height
    read -r x y width height <<<"$1"
    echo "$x $(( y + boardTop )) $width $height"
}

# ---- What a player sees --------------------------------------------------------

# A card face is mostly white; a back, an empty place and the veil are not.
showsFace() { above "$(share "$white" "$(onBoard "$1")")" 0.6; }
isVeiled() {
    local s
    s=$(share "$white" "$(onBoard "$1")")
    above "$s" 0.2 && ! above "$s" 0.5
}
showsButton() { above "$(share "$buttonGrey" "$(onBoard "$1")")" 0.4; }
isMyTurn() { showsButton "$stopButton" || showsButton "$passButton"; }
tableShowsFaces() { showsFace "${table[0]}" && showsFace "${table[1]}" && showsFace "${table[2]}"; }
handShowsFaces() { showsFace "${south[0]}" && showsFace "${south[1]}" && showsFace "${south[2]}"; }
# North's cards are face down during a round and face up at its end.
isRoundEnd() { showsFace "${north[0]}" && showsFace "${north[1]}" && showsFace "${north[2]}"; }
popupShown() { above "$(share "$white" "4 226 40 14")" 0.6; }

# Boxes are centred; their caption crosses the screen's middle column.
boxShown() { above "$(share "$captionBlue" "156 127 16 12")" 0.9; }
# An OK box has one button across the middle column; Yes and No leave a gap there.
isOkBox() { ! above "$(share "$white" "117 176 6 10")" 0.9; }

# What happened, beside the screen: its caption bar and its text.
account="244 0 172 320"
accountCaption="244 0 172 26"
accountText="244 26 172 294"
# The caption bar holds the Hint and Review buttons beside its words.
accountShows() { above "$(share "$captionBlue" "$accountCaption")" 0.55 && above "$(share "$white" "$accountText")" 0.6; }
# While no game runs its first line, bold in the caption's blue, says how to start.
tellsHowToStart() { above "$(share "$captionBlue" "250 32 160 20")" 0.05; }

# Grabs until the condition (a command) holds, for up to $patience seconds.
waitUntil() {
    local deadline=$(( SECONDS + patience ))
    while :; do
        grab && "$@" && return 0
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# ---- Acting as a player -------------------------------------------------------

# Clicks the middle of a device rectangle.
click() {
    local x y width height
    read -r x y width height <<<"$1"
    xdotool mousemove --window "$window" \
        $(( left + (x + width / 2) * factor + factor / 2 )) $(( top + (y + height / 2) * factor + factor / 2 )) click 1
}

tap() { click "$(onBoard "$1")"; }

pressKey() {
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key "$1"
}

pressEnter() {
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key Return
}

# Game > New from the menu bar, the pop-up's top item.
chooseNew() {
    click "0 294 40 26"
    waitUntil popupShown || { keep failed-popup; fail "Game did not open its pop-up menu"; }
    keep menu
    click "4 224 60 18"
}

# Answers a box with Enter and waits for it to go.
answerBox() {
    pressEnter
    waitUntil noBox || { keep failed-box; fail "a box stayed after Enter"; }
}
noBox() { ! boxShown; }
noButtons() { ! isMyTurn; }

# Counts round ends as they show, keeping a screenshot of each. Whether every
# hand lay face up is judged on the screenshots of the round end itself: on a
# busy machine the next deal may already be on screen by the next grab.
rounds=0
atRoundEnd=0
roundEndAllShown=0
noteRoundEnd() {
    if isRoundEnd; then
        if [ "$atRoundEnd" = 0 ]; then
            rounds=$(( rounds + 1 ))
            roundEndAllShown=0
            keep "round-$rounds"
        fi
        allHandsShown && roundEndAllShown=1
        atRoundEnd=1
    else
        atRoundEnd=0
    fi
}

# Plays on until the human may move, Enter answering the dealer's question;
# fails after $patience seconds. Returns 1 at the "Game Over" box, left unanswered.
awaitMyTurn() {
    local deadline=$(( SECONDS + patience ))
    while [ "$SECONDS" -lt "$deadline" ]; do
        grab
        noteRoundEnd
        if boxShown; then
            isOkBox && return 1
            keep keep-cards
            answerBox
        elif isMyTurn; then
            return 0
        fi
        sleep 0.1
    done
    keep failed-turn
    fail "no turn for the human within $patience s"
}

# As awaitMyTurn, but a game that ends meanwhile (the human may lose four
# lives in as many rounds) is answered and a new one started from the menu.
awaitMyTurnInAnyGame() {
    awaitMyTurn && return 0
    keep game-over
    answerBox
    chooseNew
    awaitMyTurn || fail "$1"
}

# The speech bubble beside the human's cards, over the place of the buttons.
southBubble="55 163 35 14"
showsSouthBubble() { above "$(share "$white" "$(onBoard "$southBubble")")" 0.5; }
bubbleGoneOrRoundEnd() { ! showsSouthBubble || isRoundEnd; }

# Pass when offered, else Stop: the buttons go, the call shows in a bubble
# for a moment, and the bubble goes again (or the round's scores replace it).
passOrStop() {
    local call=stop
    if showsButton "$passButton"; then
        call=pass
        tap "$passButton"
    else
        tap "$stopButton"
    fi
    waitUntil noButtons || { keep failed-buttons; fail "the buttons stayed after a tap on $call"; }
    # The bubble comes with the buttons' going: the same grab shows it, unless it came between.
    showsSouthBubble || waitUntil showsSouthBubble ||
        { keep "failed-$call-bubble"; fail "no bubble beside the human's cards after $call"; }
    waitUntil bubbleGoneOrRoundEnd || { keep "failed-$call-bubble-left"; fail "the $call bubble stayed"; }
}

allHandsShown() {
    local place
    for place in "${south[@]}" "${west[@]}" "${north[@]}" "${east[@]}"; do
        showsFace "$place" || return 1
    done
}

# ---- The test ------------------------------------------------------------------

# Pause units of 100 ms rather than 40: a bubble then shows for two seconds
# and a round's end for five, several grabs even on a machine busy with
# other work.
"$program" --pace 100 &
appPid=$!
window=$(awaitZartaWindow)
[ -n "$window" ] || fail "no window named Zarta appeared"
readWindowFit
echo "$testName: window $(printf 0x%x "$window"), scale $factor, screen at +$left+$top"

grab
keep start
showsFace "${table[0]}" && fail "the table shows card faces before a game"
# The default window holds What happened beside the board, in the board's
# own pixels, saying how to start.
[ "$accountShown" = 1 ] || fail "the default window, $windowWidth wide at scale $factor, has no room for What happened"
waitUntil accountShows || { keep failed-account; fail "no What happened beside the board"; }
tellsHowToStart || { keep failed-how-to-start; fail "What happened does not say how to start while no game runs"; }
isCrisp "$account" || { keep failed-account-blurred; fail "What happened is not drawn at the board's whole factor"; }

# New game: the dealer's question is answered, then the table lies face up.
chooseNew
awaitMyTurn || fail "the game ended before the human's first turn"
keep first-turn
tableShowsFaces || { keep failed-table; fail "the table places do not show three card faces on the human's turn"; }
handShowsFaces || { keep failed-hand; fail "the human's places do not show three card faces on the human's turn"; }

# What happened follows the game: the how-to-start line goes, the human's
# call shows at once, and the computer seats' moves after it change it again.
tellsHowToStart && { keep failed-how-to-start-stays; fail "the how-to-start line stays while a game runs"; }
if showsButton "$passButton"; then tap "$passButton"; else tap "$stopButton"; fi
waitUntil showsSouthBubble || { keep failed-call-bubble; fail "no bubble beside the human's cards after a call"; }
afterMyCall=$(signature "$accountText")
awaitMyTurnInAnyGame 30 "no turn for the human after its first call"
[ "$(signature "$accountText")" != "$afterMyCall" ] ||
    { keep failed-account-still; fail "What happened did not change while the computer seats moved"; }
keep account
isCrisp "$account" || { keep failed-account-blurred; fail "What happened is not crisp during a game"; }
# W hides it, the board alone then centred; W shows it again.
pressKey w
accountHidden=1
readWindowFit
waitUntil tableShowsFaces || { keep failed-account-hidden; fail "after W the board is not centred alone"; }
rightBarBlack || { keep failed-account-stays; fail "What happened stays after W"; }
pressKey w
accountHidden=0
readWindowFit
waitUntil accountShows || { keep failed-account-back; fail "W does not bring What happened back"; }
tableShowsFaces || { keep failed-account-back-board; fail "with What happened back the board is not beside it"; }

# A new size draws the picture again at its new scale, centred; a window
# hidden and shown again still shows it. The rest of the test plays at that scale.
xdotool windowsize --sync "$window" 500 700 2>/dev/null || xdotool windowsize "$window" 500 700
sizeTaken() { xdotool getwindowgeometry "$window" | grep -q 'Geometry: 500x700$'; }
eventually "$patience" sizeTaken || fail "the window did not take the size 500 x 700"
# There the board steps down to scale 1 beside What happened; with What
# happened hidden it takes scale 2 alone.
readWindowFit
[ "$factor" = 1 ] || fail "a window of 500 x 700 should show the screen at scale 1 beside What happened, not $factor"
waitUntil tableShowsFaces || { keep failed-resized-account; fail "after a resize the table does not show three card faces"; }
waitUntil accountShows || { keep failed-narrow-account; fail "a window too narrow for both at scale 2 drops What happened"; }
keep resized-account
pressKey w
accountHidden=1
readWindowFit
[ "$factor" = 2 ] || fail "a window of 500 x 700 should show the screen alone at scale 2, not $factor"
waitUntil tableShowsFaces || { keep failed-resized; fail "after a resize the table does not show three card faces"; }
keep resized
rightBarBlack || { keep failed-narrow-account; fail "What happened stays after W in a narrow window"; }
isCrisp "0 0 240 320" || { keep failed-narrow-blurred; fail "a narrow window does not show the board at its whole factor"; }
leftBarBlack() {
    [ "$(convert "$work/screen.png" -crop "${left}x700+0+0" +repage -alpha off -format '%[fx:maxima]' info:)" = 0 ]
}
leftBarBlack || { keep failed-bar; fail "the bar beside the picture is not black after a resize"; }
xdotool windowunmap --sync "$window"
xdotool windowmap --sync "$window"
waitUntil tableShowsFaces || { keep failed-remapped; fail "a window hidden and shown again does not show the table"; }
waitUntil handShowsFaces || { keep failed-remapped-hand; fail "a window hidden and shown again does not show the hand"; }
# Hidden, the window lost the focus. It gets it back here, well before the
# next key: a key already down when the program meets the focus counts as
# held, not pressed, and the taps waited on below come after the focus.
xdotool windowfocus --sync "$window" 2>/dev/null

# One card: tap, tap again to put it back, tap, then a table card.
handBefore=$(signature "$(onBoard "${south[0]}")")
secondBefore=$(signature "$(onBoard "${south[1]}")")
tableBefore=$(signature "$(onBoard "${table[0]}")")

tap "${south[0]}"
waitUntil isVeiled "${south[0]}" || { keep failed-veil; fail "a tapped hand card does not show the veil"; }
keep veiled
[ "$(signature "$(onBoard "${south[1]}")")" = "$secondBefore" ] || fail "tapping the first hand card changed the second"
isMyTurn || fail "the buttons went away when a hand card was tapped"

tap "${south[0]}"
handAgain() { [ "$(signature "$(onBoard "${south[0]}")")" = "$handBefore" ]; }
waitUntil handAgain || { keep failed-unveil; fail "tapping a selected hand card again does not put it back"; }

tap "${south[0]}"
waitUntil isVeiled "${south[0]}" || fail "the hand card does not show the veil the second time"
tap "${table[0]}"
# The computer seats may take the table card at once, but the hand keeps what it got.
handHoldsTableCard() { [ "$(signature "$(onBoard "${south[0]}")")" = "$tableBefore" ]; }
waitUntil handHoldsTableCard || { keep failed-exchange; fail "after the exchange the hand card does not show the former table card"; }
keep exchanged

# The whole hand: tapping all three hand cards swaps them with the table.
awaitMyTurnInAnyGame "no turn for the human after one exchange"
for position in 0 1 2; do
    tableCard[position]=$(signature "$(onBoard "${table[$position]}")")
done
tap "${south[0]}"
tap "${south[1]}"
tap "${south[2]}"
handHoldsTable() {
    local position
    for position in 0 1 2; do
        [ "$(signature "$(onBoard "${south[$position]}")")" = "${tableCard[$position]}" ] || return 1
    done
}
waitUntil handHoldsTable || { keep failed-whole-exchange; fail "after tapping all three hand cards the hand does not show the former table"; }
keep whole-hand-exchanged

# The keyboard: the first key shows the frame round the first hand card,
# Space takes that card, Up brings the frame to the table's first card (over
# Stop when it is shown), Space there exchanges them as a click would.
focusYellow='#FFEC40'
framed() {
    local x y width height
    read -r x y width height <<<"$1"
    above "$(share "$focusYellow" "$(onBoard "$(( x - 1 )) $y 1 $height")")" 0.9 &&
        above "$(share "$focusYellow" "$(onBoard "$(( x + width )) $y 1 $height")")" 0.9
}
awaitMyTurnInAnyGame "no turn for the human before the keyboard's turn"
framed "${south[0]}" && fail "the focus frame shows before any key was used"
tableBefore=$(signature "$(onBoard "${table[0]}")")
pressKey Down
waitUntil framed "${south[0]}" || { keep failed-frame; fail "no focus frame round the first hand card after a key"; }
pressKey space
waitUntil isVeiled "${south[0]}" || { keep failed-key-veil; fail "Space does not take the framed hand card"; }
pressKey Up
pressKey Up
waitUntil framed "${table[0]}" || { keep failed-frame-move; fail "Up does not bring the frame to the table's first card"; }
keep keyboard-frame
pressKey space
waitUntil handHoldsTableCard || { keep failed-key-exchange; fail "Space on the table card does not exchange it"; }
awaitMyTurnInAnyGame "no turn for the human after the keyboard's exchange"
click "$(onBoard "20 240 10 10")"
noFrame() { ! framed "${table[0]}"; }
waitUntil noFrame || { keep failed-frame-stays; fail "the focus frame stays after a click"; }
# How to play is three tall boxes. The first has its caption at the top over
# the board's own blue title bar, so it is told by its caption and by the
# white gap between its first two paragraphs, where the board is green; each
# Enter turns a page, and the board's green beside west's cards, under every
# page, shows again only after the last.
helpShown() { above "$(share "$captionBlue" "156 15 16 10")" 0.9 && above "$(share "$white" "100 99 40 6")" 0.9; }
helpClosed() { above "$(share '#008000' "56 81 15 15")" 0.9; }
pressKey F1
waitUntil helpShown || { keep failed-help; fail "F1 shows no How to play box"; }
keep how-to-play
for page in 2 3 4; do
    shownBefore=$(signature "0 0 240 320")
    pressEnter
    turned() { [ "$(signature "0 0 240 320")" != "$shownBefore" ]; }
    waitUntil turned || { keep "failed-help-$page"; fail "Enter does not turn How to play to page $page"; }
    helpClosed && { keep "failed-help-closed-$page"; fail "How to play closed before its page $page"; }
done
keep how-to-play-last
pressEnter
waitUntil helpClosed || { keep failed-help-stays; fail "How to play stayed after Enter on its last page"; }
# Escape leaves the rules from their first page.
pressKey F1
waitUntil helpShown || { keep failed-help-again; fail "F1 shows no How to play box the second time"; }
pressKey Escape
waitUntil helpClosed || { keep failed-help-escape; fail "Escape does not close How to play"; }

turns=0
if [ "$wholeGame" = --whole-game ]; then
    # Every round end is kept; the game ends with an OK box.
    while awaitMyTurn; do
        turns=$(( turns + 1 ))
        keep "turn-$turns"
        passOrStop
    done
    keep game-over
    answerBox
    grab
    keep after-game
    echo "$testName: a whole game: $turns turns of the human, $rounds round ends seen"
else
    # Pass or Stop until a round ends: then every hand lies face up.
    roundsBefore=$rounds
    deadline=$(( SECONDS + 2 * patience ))
    while [ "$rounds" = "$roundsBefore" ]; do
        [ "$SECONDS" -lt "$deadline" ] || { keep failed-round; fail "no round ended within $(( 2 * patience )) s"; }
        grab
        noteRoundEnd
        [ "$rounds" = "$roundsBefore" ] || break
        if boxShown; then
            isOkBox && fail "the game ended within one round"
            answerBox
        elif isMyTurn; then
            passOrStop
            turns=$(( turns + 1 ))
        fi
        sleep 0.1
    done
    [ "$roundEndAllShown" = 1 ] || waitUntil allHandsShown ||
        { keep failed-round-end; fail "at the round end not every hand is shown face up"; }
    keep round-end
    # A key waits in the queue while a box or a pause runs: close from the human's turn.
    awaitMyTurnInAnyGame "no turn for the human within two rounds"
fi

closeWithControlQ "$window"
[ "$status" = 0 ] || fail "Ctrl+Q should end the program with status 0, got: $status"
eventually "$patience" noZartaWindow || fail "the window is still there after Ctrl+Q"

echo "$testName: OK ($turns turns, $(( $(date +%s) - began )) s)"
