#!/usr/bin/env bash
# The page's first frame and sizes (tests/web/browser_test.mjs --figures-only),
# on a quiet machine, or with --beside-build while another build of this tree
# runs: two compile jobs from a clean build folder, started again whenever
# they finish, until the figures are written.
#
# Usage: bench/web-first-frame.sh WEB_BUILD [--beside-build]   (WEB_BUILD from tools/web.sh --build-only)
set -euo pipefail
web=$(realpath "${1:?usage: bench/web-first-frame.sh WEB_BUILD [--beside-build]}")
beside=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
source=$(dirname "$here")
[ -f "$web/site/index.html" ] || { echo "web-first-frame: no site in $web (tools/web.sh --build-only)" >&2; exit 2; }

scratch=
builder=
cleanup() {
    if [ -n "$builder" ]; then
        kill -- -"$builder" 2>/dev/null || true
        wait "$builder" 2>/dev/null || true
    fi
    [ -n "$scratch" ] && rm -rf "$scratch"
}
trap cleanup EXIT

if [ "$beside" = --beside-build ]; then
    scratch=$(mktemp -d)
    cmake -S "$source" -B "$scratch" -DCMAKE_BUILD_TYPE=Release >/dev/null
    # Its own process group, so the whole build stops with it.
    setsid bash -c "while true; do cmake --build '$scratch' --target clean >/dev/null 2>&1;
        cmake --build '$scratch' -j2 >/dev/null 2>&1; done" &
    builder=$!
    sleep 15   # well into the compiling
elif [ -n "$beside" ]; then
    echo "web-first-frame: unknown option $beside" >&2
    exit 2
fi

cd "$source/tests/web"
[ -d node_modules ] || npm ci --no-audit --no-fund --loglevel=error
node browser_test.mjs --site "$web/site" --figures-only "$web/figures${beside:+-beside-build}.json"
