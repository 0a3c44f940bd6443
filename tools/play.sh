#!/usr/bin/env bash
# Sets up, builds and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --build-only
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DZARTA_TESTS=OFF
cmake --build build -j"$(nproc)" --target zarta
exec build/zarta
