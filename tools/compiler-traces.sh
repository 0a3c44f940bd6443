#!/usr/bin/env bash
# Checks that a gcc build and a clang build of zarta-sim play the same games:
# the traces and summaries of a few seeds, for every scripted human, must be
# byte-identical, and so must a few games at an expert table. Anything the C++
# standard leaves to the compiler (the order in which a call's arguments are
# evaluated, say) shows up here.
# Usage: tools/compiler-traces.sh GCC_BUILD_DIR CLANG_BUILD_DIR
set -euo pipefail
gccBuild=${1:?usage: compiler-traces.sh GCC_BUILD_DIR CLANG_BUILD_DIR}
clangBuild=${2:?usage: compiler-traces.sh GCC_BUILD_DIR CLANG_BUILD_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

play() {
    local build=$1 out=$2 human seed
    mkdir -p "$out"
    for human in random passive greedy; do
        for seed in 1 2 3 4 5; do
            "$build/zarta-sim" --games 3 --human "$human" --seed "$seed" --trace "$out/$human-$seed.jsonl" |
                grep -v -e "^wall time " -e "^cpu time " >"$out/$human-$seed.summary"
        done
    done
    for human in greedy hint; do
        for seed in 1 2; do
            "$build/zarta-sim" --computer expert --games 2 --human "$human" --seed "$seed" \
                --trace "$out/expert-$human-$seed.jsonl" |
                grep -v -e "^wall time " -e "^cpu time " -e "^expert time " >"$out/expert-$human-$seed.summary"
        done
    done
}

play "$gccBuild" "$work/gcc"
play "$clangBuild" "$work/clang"
if ! diff -r "$work/gcc" "$work/clang" >"$work/diff"; then
    head -n 20 "$work/diff" >&2
    echo "compiler-traces: FAIL: the gcc and clang builds play different games" >&2
    exit 1
fi
echo "compiler-traces: OK (gcc and clang traces are identical)"
