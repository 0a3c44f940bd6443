#!/usr/bin/env bash
# One whole simulated game under valgrind memcheck: no invalid access, no use
# of uninitialised memory, no definite or indirect leak. The seed's game has
# an About, a "New" in mid-game, a refused hand and taps on nothing.
#
# Usage: tools/memcheck.sh BUILD_DIR   (an ordinary build: valgrind cannot run a sanitizer build)
set -euo pipefail
build=${1:?usage: tools/memcheck.sh BUILD_DIR}
sim=$build/zarta-sim

if [ ! -x "$sim" ]; then
    echo "memcheck: $sim not found; build it first (cmake --build $build --target zarta-sim)" >&2
    exit 2
fi
if nm "$sim" 2>/dev/null | grep -c '__asan_init' >/dev/null; then
    echo "memcheck: $sim is a sanitizer build; valgrind needs an ordinary one" >&2
    exit 2
fi
command -v valgrind >/dev/null || { echo "memcheck: valgrind is not installed (apt-get install valgrind)" >&2; exit 2; }

valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect \
    --show-leak-kinds=definite,indirect --track-origins=yes --quiet \
    "$sim" --games 1 --seed 8 --human random --check
echo "memcheck: no error and no leak"
