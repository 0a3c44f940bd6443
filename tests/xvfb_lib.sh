# Shared by the desktop tests (sourced, not run): a virtual X server of the
# test's own, waiting for processes, and finding the program's window.
# The sourcing script sets testName first and keeps the program's process id
# in appPid, so an early failure still ends it.
#
# Every wait is on a condition, bounded by $patience seconds: far more than a
# step takes even on a machine busy with other work, which then slows a test
# down without failing it.
patience=60

: "${testName:?set testName before sourcing xvfb_lib.sh}"
appPid=
xvfbPid=
secondXvfbPid=
runtime=

fail() {
    echo "$testName: FAIL: $*" >&2
    exit 1
}

cleanupVirtualDisplay() {
    [ -n "$appPid" ] && kill "$appPid" 2>/dev/null
    [ -n "$xvfbPid" ] && kill "$xvfbPid" 2>/dev/null
    [ -n "$secondXvfbPid" ] && kill "$secondXvfbPid" 2>/dev/null
    [ -n "$runtime" ] && rm -rf "$runtime"
}

# Runs a command until it succeeds, for up to $1 seconds; fails when it
# never does. The first tries come quickly, then one every tenth of a second.
eventually() {
    local deadline=$(( SECONDS + $1 )) pauses=(0.01 0.02 0.05) tries=0
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep "${pauses[tries++]:-0.1}"
    done
}

# Exits with 77, the skip code, when a command the test needs is missing.
requireCommands() {
    local command
    for command in "$@"; do
        command -v "$command" >/dev/null 2>&1 || { echo "$testName: SKIP: $command is not installed" >&2; exit 77; }
    done
}

# Starts an Xvfb that finds a free display number itself; sets
# launchedNumber and launchedPid.
launchXvfb() {
    # Xvfb writes the number once it accepts connections, so tests running side by side never collide.
    # Without -noreset the server resets whenever its last client leaves and
    # refuses the connections that arrive meanwhile: a program started just
    # after the previous one ended would find no display.
    # XVFB_OPTIONS adds to the server's options (-extension MIT-SHM takes away shared memory);
    # XVFB_SCREEN sets the screen's size and depth.
    local numberFile
    numberFile=$(mktemp -p "$runtime" display.XXXXXX)
    # shellcheck disable=SC2086 # the options are separate words
    Xvfb -displayfd 3 -noreset ${XVFB_OPTIONS:-} -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp 3>"$numberFile" >/dev/null 2>&1 &
    launchedPid=$!
    launchedNumber=
    eventually "$patience" displayNumberOrEnd "$numberFile"
    [ -n "$launchedNumber" ] || fail "Xvfb did not start"
    xdpyinfo -display ":$launchedNumber" >/dev/null 2>&1 || fail "Xvfb does not answer on :$launchedNumber"
}

# Reads the number the Xvfb being launched writes; true once it has, or once it has ended.
displayNumberOrEnd() {
    launchedNumber=$(head -n 1 "$1" 2>/dev/null)
    [ -n "$launchedNumber" ] || ! kill -0 "$launchedPid" 2>/dev/null
}

# Starts Xvfb on a display number it finds free itself and points DISPLAY at
# it, with a private XDG_RUNTIME_DIR so the single-instance rendezvous is this
# run's alone.
startVirtualDisplay() {
    requireCommands Xvfb xdpyinfo xdotool
    runtime=$(mktemp -d)
    chmod 700 "$runtime"
    trap cleanupVirtualDisplay EXIT

    launchXvfb
    xvfbPid=$launchedPid
    export DISPLAY=":$launchedNumber" XDG_RUNTIME_DIR="$runtime"
    # Under the sanitizers: the desktop libraries keep allocations until the process ends.
    export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
    # SDL drops a click it handles within 10 ms of handling a change of focus.
    # With no window manager it gives its window the focus as it shows it; a
    # program held up by a busy machine handles that focus and a test's first
    # click one right after the other, and the click would be lost.
    export SDL_MOUSE_FOCUS_CLICKTHROUGH=1
    # SDL's dummy sound device takes the cues as a sound card would: on a
    # machine without one the game then plays, and says, what it says with one.
    export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
}

# A second virtual X server beside the first (after startVirtualDisplay);
# sets secondDisplay. The program's copies on it are the test's to end.
startSecondVirtualDisplay() {
    launchXvfb
    secondXvfbPid=$launchedPid
    # shellcheck disable=SC2034 # read by the sourcing script
    secondDisplay=":$launchedNumber"
}

windowsNamedZarta() {
    xdotool search --onlyvisible --name '^Zarta$' 2>/dev/null | wc -l
}
oneZartaWindow() { [ "$(windowsNamedZarta)" -eq 1 ]; }
# A program that has ended may leave its window to the server for a moment;
# the next start must not take that window for its own.
noZartaWindow() { [ "$(windowsNamedZarta)" -eq 0 ]; }

# Prints the id of the first visible window named Zarta, waiting up to
# $patience seconds. Polls rather than using search --sync: a search that
# meets a window being destroyed (the previous copy's) gives up with nothing.
awaitZartaWindow() {
    local found deadline=$(( SECONDS + patience ))
    while :; do
        found=$(xdotool search --onlyvisible --name '^Zarta$' 2>/dev/null | head -n 1)
        [ -n "$found" ] && { echo "$found"; return 0; }
        [ "$SECONDS" -lt "$deadline" ] || return 0
        sleep 0.1
    done
}

processEnded() { ! kill -0 "$1" 2>/dev/null; }

# Waits up to $2 seconds for process $1 to end; sets status to its exit
# status, or to "timeout".
waitFor() {
    if eventually "$2" processEnded "$1"; then
        wait "$1"
        status=$?
    else
        status=timeout
    fi
}

# Sends Ctrl+Q to window $1 and waits for the program (appPid) to end; sets
# status like waitFor. appPid is cleared once the program has ended.
# The keys go to the focused window, not to $1: xdotool sends keys for a
# window as events to it, and when the program ends after the press the
# release fails with the window, leaving the keys down for the next start.
# A program that handles its focus while the keys are down takes them for
# held and ignores them, so they are pressed again every five seconds.
closeWithControlQ() {
    local deadline=$(( SECONDS + patience ))
    xdotool windowfocus --sync "$1" 2>/dev/null
    while :; do
        xdotool key ctrl+q 2>/dev/null
        waitFor "$appPid" 5
        [ "$status" = timeout ] || break
        [ "$SECONDS" -lt "$deadline" ] || break
    done
    [ "$status" = timeout ] || appPid=
}

# Where the device screen lies in a window of $1 x $2 pixels. With What
# happened wanted (accountHidden not 1) the screen and the account beside it
# (176 screen pixels, its gap included) take the largest whole factor that
# holds both, at least 1, centred together; a window narrower than both keeps
# the screen whole at its left edge. Alone, the screen takes the largest
# whole factor that holds it. Sets factor, left, top and accountShown.
placeScreen() {
    local across=240
    accountShown=0
    if [ "${accountHidden:-0}" != 1 ]; then
        accountShown=1
        across=416
    fi
    factor=$(( $1 / across < $2 / 320 ? $1 / across : $2 / 320 ))
    if [ "$accountShown" = 1 ] && [ "$factor" -lt 1 ]; then
        factor=1
    fi
    left=$(( ($1 - across * factor) / 2 ))
    if [ "$accountShown" = 1 ] && [ "$left" -lt 0 ]; then
        left=0
    fi
    top=$(( ($2 - 320 * factor) / 2 ))
}

# ---- Reading the window's pictures -------------------------------------------
# For a script that sets window, work (a scratch folder), shots (a folder
# for kept pictures, or empty) and factor, left and top (placeScreen).
# Rectangles are strings "x y width height" in device pixels.

grab() {
    import -window "$window" "png:$work/screen.png" 2>/dev/null
}

keep() {
    [ -n "$shots" ] && cp "$work/screen.png" "$shots/$1.png"
    return 0
}

# The window pixels of a device rectangle as a crop geometry.
cropOf() {
    local x y width height
    read -r x y width height <<<"$1"
    echo "$(( width * factor ))x$(( height * factor ))+$(( left + x * factor ))+$(( top + y * factor ))"
}

# Share 0..1 of the last grab's pixels in device rectangle $2 that have
# exactly colour $1 (not black).
share() {
    convert "$work/screen.png" -crop "$(cropOf "$2")" +repage -alpha off \
        -fill black +opaque "$1" -fill white -opaque "$1" -format '%[fx:mean]' info:
}

# A digest of the last grab's pixels in a device rectangle.
signature() {
    convert "$work/screen.png" -crop "$(cropOf "$1")" +repage -alpha off -format '%#' info:
}

above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# Black from the screen's right edge to the window's (windowWidth set by the script).
rightBarBlack() {
    local from=$(( left + 240 * factor ))
    [ "$(convert "$work/screen.png" -crop "$(( windowWidth - from ))x$(( 320 * factor ))+$from+$top" +repage \
        -alpha off -format '%[fx:maxima]' info:)" = 0 ]
}

# Crisp at the whole factor: each screen pixel of the device rectangle is a
# square of factor x factor window pixels of one colour.
isCrisp() {
    local x y width height
    read -r x y width height <<<"$1"
    convert "$work/screen.png" -crop "$(cropOf "$1")" +repage -alpha off "$work/crop.png"
    convert "$work/crop.png" -sample "${width}x$height!" -sample "$(( width * factor ))x$(( height * factor ))!" \
        "$work/blocks.png"
    [ "$(compare -metric AE "$work/crop.png" "$work/blocks.png" null: 2>&1)" = 0 ]
}
