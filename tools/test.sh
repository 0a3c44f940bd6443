#!/usr/bin/env bash
# Sets up, builds with warnings as errors, and runs the whole test suite:
# the unit and behaviour tests, the real window under Xvfb, the same tests
# again under AddressSanitizer and UndefinedBehaviorSanitizer, the web build
# in node and headless chromium, and the Debian package built, checked,
# installed and purged.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -DZARTA_WERROR=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

# The optimised game tools/play.sh builds: its warnings are errors here too.
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DZARTA_WERROR=ON -DZARTA_TESTS=OFF
cmake --build build-release -j"$jobs" --target zarta

cmake -S . -B build-asan -DZARTA_WERROR=ON -DZARTA_SANITIZE=ON -DZARTA_SDL=OFF
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"

# The simulator from a clang build must play exactly the games the gcc build plays.
CXX=clang++ cmake -S . -B build-clang -DZARTA_WERROR=ON -DZARTA_SDL=OFF -DZARTA_TESTS=OFF -DZARTA_BENCH=OFF
cmake --build build-clang -j"$jobs" --target zarta-sim
tools/compiler-traces.sh build build-clang

# The Debian package (README: Install); it installs the package on this machine.
tests/debian_package_test.sh

# The browser build: the node simulator's traces and the page in headless
# chromium (README: In the browser).
tools/web.sh --build-only
tests/web/run.sh build build-web

# Soak, memory check and a short fuzz run (README: Simulator, Fuzzing).
tools/soak.sh build-asan
tools/memcheck.sh build
tools/fuzz.sh build-fuzz 60
