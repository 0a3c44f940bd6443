#!/usr/bin/env bash
# Sets up, builds and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --build-only
# A folder of its own: the tests' build (build/) keeps its own settings,
# warnings as errors among them, and neither run reconfigures the other.
cmake -S . -B build-play -DCMAKE_BUILD_TYPE=Release -DZARTA_TESTS=OFF -DZARTA_WERROR=OFF
cmake --build build-play -j"$(nproc)" --target zarta
exec build-play/zarta
