#!/usr/bin/env bash
# The page's first frame and sizes (tests/web/first_frame_bench.mjs, run by
# tests/web/browser_test.mjs --figures-only), on a quiet machine, or with
# --beside-build while another build of this tree runs: two compile jobs
# from a clean build folder, started again whenever they finish, until the
# figures are written. They go to
# WEB_BUILD/figures-quiet.json or WEB_BUILD/figures-beside-build.json.
#
# Usage: bench/web-first-frame.sh WEB_BUILD [--beside-build]   (WEB_BUILD from tools/web.sh --build-only)
set -euo pipefail
web=$(realpath "${1:?usage: bench/web-first-frame.sh WEB_BUILD [--beside-build]}")
beside=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
source=$(dirname "$here")
[ -f "$web/site/index.html" ] || { echo "web-first-frame: no site in $web (tools/web.sh --build-only)" >&2; exit 2; }
case "$beside" in
    ''|--beside-build) ;;
    *) echo "web-first-frame: unknown option $beside" >&2; exit 2 ;;
esac

scratch=
builder=
cleanup() {
    if [ -n "$builder" ]; then
        kill -- -"$builder" 2>/dev/null || true
        # Until the last compiler of the group is gone, so the folder can go.
        while kill -0 -- -"$builder" 2>/dev/null; do sleep 0.1; done
    fi
    if [ -n "$scratch" ]; then
        rm -rf "$scratch"
    fi
}
trap cleanup EXIT

if [ "$beside" = --beside-build ]; then
    scratch=$(mktemp -d)
    cmake -S "$source" -B "$scratch" -DCMAKE_BUILD_TYPE=Release >/dev/null
    # In a process group of its own, so the whole build stops with it; and it
    # stops by itself should this script die without its cleanup.
    setsid bash -c 'while kill -0 "$1" 2>/dev/null; do
        cmake --build "$2" --target clean >/dev/null 2>&1; cmake --build "$2" -j2 >/dev/null 2>&1; done' \
        build-loop "$$" "$scratch" &
    builder=$!
    sleep 15   # well into the compiling
    if ! pgrep -g "$builder" -f 'cc1plus|c\+\+|g\+\+' >/dev/null; then
        echo "web-first-frame: the build beside the figures is not compiling" >&2
        exit 1
    fi
fi

cd "$source/tests/web"
[ -d node_modules ] || npm ci --no-audit --no-fund --loglevel=error
figures=$web/figures-quiet.json
[ -n "$beside" ] && figures=$web/figures-beside-build.json
node browser_test.mjs --site "$web/site" --figures-only "$figures"
