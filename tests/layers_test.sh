#!/usr/bin/env bash
# tools/check-layers.sh fails on each kind of include it forbids, planted in a
# copy of the layers: one pointing upward, the rules including the window
# system, and two units of one layer including each other.
# usage: layers_test.sh SOURCE_ROOT
set -euo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

plant() {
    rm -rf "$work/tree"
    mkdir "$work/tree"
    cp -r "$root"/{resources,platform,model,ai,ui,flow,app} "$work/tree/"
    echo "#include \"$2\"" >>"$work/tree/$1"
    if bash "$root/tools/check-layers.sh" "$work/tree" >"$work/out" 2>&1; then
        fail "$1 including $2 passed"
    fi
    grep -q "^$1:" "$work/out" || fail "$1 including $2: the message does not name the file: $(cat "$work/out")"
}

bash "$root/tools/check-layers.sh" "$root" >/dev/null || fail "the tree itself does not pass"
plant model/Deck.cpp platform/Platform.h
plant model/HandEvaluation.cpp ui/Drawing.h
plant platform/Screen.cpp model/GameState.h

# A circle inside a layer: the turn engine already uses settlement.
rm -rf "$work/tree"
mkdir "$work/tree"
cp -r "$root"/{resources,platform,model,ai,ui,flow,app} "$work/tree/"
echo '#include "flow/TurnEngine.h"' >>"$work/tree/flow/Settlement.cpp"
if bash "$root/tools/check-layers.sh" "$work/tree" >"$work/out" 2>&1; then
    fail "a circle between flow/Settlement and flow/TurnEngine passed"
fi
grep -q "^flow/: .*circle.*flow/Settlement flow/TurnEngine" "$work/out" || fail "the circle is not named: $(cat "$work/out")"
echo "layers test passed"
