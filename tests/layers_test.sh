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

# Adds an include of $2 to $1 in a fresh copy of the layers and checks that
# the check fails with a line starting with $3.
plant() {
    rm -rf "$work/tree"
    mkdir "$work/tree"
    cp -r "$root"/{resources,platform,model,ai,ui,flow,app} "$work/tree/"
    echo "#include \"$2\"" >>"$work/tree/$1"
    if bash "$root/tools/check-layers.sh" "$work/tree" >"$work/out" 2>&1; then
        fail "$1 including $2 passed"
    fi
    grep -q "^$3" "$work/out" || fail "$1 including $2: no line starting '$3': $(cat "$work/out")"
}

bash "$root/tools/check-layers.sh" "$root" >/dev/null || fail "the tree itself does not pass"
plant model/Deck.cpp platform/Platform.h model/Deck.cpp:
plant model/HandEvaluation.cpp ui/Drawing.h model/HandEvaluation.cpp:
plant platform/Screen.cpp model/GameState.h platform/Screen.cpp:
# A circle inside a layer: the turn engine already uses settlement.
plant flow/Settlement.cpp flow/TurnEngine.h "flow/: .*circle.*flow/Settlement flow/TurnEngine"
echo "layers test passed"
