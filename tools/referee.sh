#!/usr/bin/env bash
# A long run of the independent referee: GAMES games of zarta-sim, every
# snapshot compared with the rules (tests/referee/referee.py).
# Usage: tools/referee.sh BUILD_DIR [GAMES]      (default 100000)
set -euo pipefail
build=${1:?usage: tools/referee.sh BUILD_DIR [GAMES]}
games=${2:-100000}
cd "$(dirname "$0")/.."
cmake --build "$build" --target zarta-sim -j"$(nproc)" >/dev/null
time bash tests/referee/run.sh "$build/zarta-sim" "$games"
