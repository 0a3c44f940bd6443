#!/usr/bin/env bash
# zarta-contact-sheet and zarta-icons never remove a path they did not create:
# a write that fails on a pipe, a device or an existing file leaves it as it
# was, says why and exits 1; a write that succeeds replaces a regular file
# whole (keeping its permissions and any link to it) and writes into a pipe
# or device in place.
# Usage: tests/png_tools_test.sh path/to/zarta-contact-sheet path/to/zarta-icons
set -u

sheet=${1:?usage: png_tools_test.sh path/to/zarta-contact-sheet path/to/zarta-icons}
icons=${2:?usage: png_tools_test.sh path/to/zarta-contact-sheet path/to/zarta-icons}
testName=png_tools
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "$testName: FAIL: $*" >&2
    exit 1
}

isPng() {
    [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ]
}

# Nothing but the names given may be left in the folder (no half-written temporary file).
onlyThese() {
    local folder=$1 left
    shift
    left=$(find "$folder" -mindepth 1 -maxdepth 1 -printf '%f\n' | sort | tr '\n' ' ')
    [ "$left" = "$(printf '%s\n' "$@" | sort | tr '\n' ' ')" ] || fail "$folder holds: $left"
}

# $1 ran with status $status and wrote $errors: it must have failed with status 1, saying $2.
expectRefusal() {
    [ "$status" = 1 ] || fail "$1: expected status 1, got $status"
    grep -q "cannot write .*$2" "$errors" || fail "$1: no reason given: $(cat "$errors")"
}
errors=$work/errors

# ---- A regular file that cannot be written: a file size limit of 0 ---------------

printf 'precious\n' >"$work/sheet.png"
# Standard error goes through a pipe, which the limit does not reach.
(ulimit -f 0; trap '' XFSZ; exec "$sheet" "$work/sheet.png") 2>&1 >/dev/null | cat >"$errors"
status=${PIPESTATUS[0]}
expectRefusal "sheet over a limit" "File too large"
[ "$(cat "$work/sheet.png" 2>/dev/null)" = precious ] || fail "a failed sheet spoiled or removed the file it was to replace"
onlyThese "$work" errors sheet.png

mkdir -p "$work/icons/32x32/apps"
printf 'precious\n' >"$work/icons/32x32/apps/zarta.png"
(ulimit -f 0; trap '' XFSZ; exec "$icons" "$work/icons" 32) 2>&1 >/dev/null | cat >"$errors"
status=${PIPESTATUS[0]}
expectRefusal "icon over a limit" "File too large"
[ "$(cat "$work/icons/32x32/apps/zarta.png" 2>/dev/null)" = precious ] ||
    fail "a failed icon spoiled or removed the file it was to replace"
onlyThese "$work/icons/32x32/apps" zarta.png

# ---- A pipe whose reader goes away --------------------------------------------------

# Larger than a pipe's buffer, so the writer meets the closed end whatever the timing.
mkfifo "$work/pipe"
(trap '' PIPE; exec "$sheet" "$work/pipe" 4) 2>"$errors" &
writer=$!
exec 3<"$work/pipe"
exec 3<&-
wait "$writer"
status=$?
expectRefusal "pipe closed early" "Broken pipe"
[ -p "$work/pipe" ] || fail "a failed write removed the pipe"

# ---- Devices, where this test may make them -------------------------------------------

# Only real devices count: under fakeroot a "device" is a plain file that takes any write.
if mknod "$work/full" c 1 7 2>/dev/null && mknod "$work/null" c 1 3 2>/dev/null &&
    ! (printf x >"$work/full") 2>/dev/null; then
    "$sheet" "$work/full" 2>"$errors"
    status=$?
    expectRefusal "sheet on a full device" "No space left on device"
    [ -c "$work/full" ] || fail "a failed sheet removed the device it was written to"
    mkdir -p "$work/deviceicons/16x16/apps"
    mknod "$work/deviceicons/16x16/apps/zarta.png" c 1 7
    "$icons" "$work/deviceicons" 16 2>"$errors"
    status=$?
    expectRefusal "icon on a full device" "No space left on device"
    [ -c "$work/deviceicons/16x16/apps/zarta.png" ] || fail "a failed icon removed the device it was written to"
    "$sheet" "$work/null" 2>"$errors" || fail "a sheet written to a null device failed: $(cat "$errors")"
    [ -c "$work/null" ] || fail "a sheet written to a device replaced it"
else
    echo "$testName: note: cannot make device nodes here (not root); the device cases are left out" >&2
fi

# ---- Writes that succeed --------------------------------------------------------------

printf 'old\n' >"$work/kept.png"
chmod 640 "$work/kept.png"
ln -s kept.png "$work/link.png"
"$sheet" "$work/link.png" 2>"$errors" || fail "a sheet through a link failed: $(cat "$errors")"
[ -L "$work/link.png" ] || fail "the link was replaced instead of the file it points to"
isPng "$work/kept.png" || fail "the file behind the link does not hold the sheet"
[ "$(stat -c %a "$work/kept.png")" = 640 ] || fail "the replaced file lost its permissions: $(stat -c %a "$work/kept.png")"
"$sheet" /dev/stdout 2>"$errors" | cat >"$work/piped.png"
isPng "$work/piped.png" || fail "a sheet on standard output is not a PNG: $(cat "$errors")"
left=$(find "$work" -mindepth 1 -maxdepth 1 -name '.*' -printf '%f ')
[ -z "$left" ] || fail "temporary files are left: $left"

echo "$testName: OK"
