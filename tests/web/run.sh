#!/usr/bin/env bash
# The web build's tests: the node simulator against the native one, then the
# page in headless chromium (a whole game, pixel identity with the headless
# screen, keys, the second tab, offline play), with the sizes and first-frame
# times written to WEB_BUILD/figures.json and the screenshots to
# WEB_BUILD/shots.
#
# Usage: tests/web/run.sh NATIVE_BUILD WEB_BUILD   (both built: tools/web.sh --build-only)
set -euo pipefail
native=$(realpath "${1:?usage: tests/web/run.sh NATIVE_BUILD WEB_BUILD}")
web=$(realpath "${2:?usage: tests/web/run.sh NATIVE_BUILD WEB_BUILD}")
here=$(cd "$(dirname "$0")" && pwd)

cmake --build "$native" --target zarta-sim zarta-screens -j"$(nproc)" >/dev/null
bash "$here/../web_sim_test.sh" "$native/zarta-sim" "$web/zarta-sim.js"

cd "$here"
npm ci --no-audit --no-fund --loglevel=error
"$native/zarta-screens" pixel-script.txt "$web/pixel-frames.bin"
mkdir -p "$web/shots"
node browser_test.mjs --site "$web/site" --frames "$web/pixel-frames.bin" --script pixel-script.txt \
  --shots "$web/shots" --figures "$web/figures.json"
