#!/usr/bin/env bash
# Builds the libFuzzer target with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and fuzzes the headless game for SECONDS.
# The corpus is kept in BUILD_DIR/fuzz-corpus, so later runs go on from it;
# a failing input is written to BUILD_DIR/fuzz-artifacts and shown with the
# command that replays it.
#
# Usage: tools/fuzz.sh BUILD_DIR SECONDS [extra libFuzzer flags...]
set -euo pipefail
build=$(realpath -m "${1:?usage: tools/fuzz.sh BUILD_DIR SECONDS [libFuzzer flags...]}")
seconds=${2:?usage: tools/fuzz.sh BUILD_DIR SECONDS [libFuzzer flags...]}
shift 2
cd "$(dirname "$0")/.."

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DZARTA_FUZZ=ON -DZARTA_SANITIZE=ON -DZARTA_WERROR=ON \
        -DZARTA_SDL=OFF -DZARTA_TESTS=OFF -DZARTA_BENCH=OFF
fi
cmake --build "$build" --target zarta-fuzz -j"$(nproc)"

corpus=$build/fuzz-corpus
artifacts=$build/fuzz-artifacts
mkdir -p "$corpus" "$artifacts"

# Seeds that reach a running game. The first two bytes set the clock; then
# each input is an operation byte and its arguments: 0 taps an aimed control
# (3 = the human's first card, 17 Stop, 18 Pass), 4 a key (0x80 adds Ctrl),
# 5 a menu choice (0 New, 1 About), 6 how boxes are answered (0 by input, 1 Yes, 2 No).
# shellcheck disable=SC2059 # the escapes are the point
seed() { printf "$2" >"$corpus/seed-$1"; }
seed new-and-play '\x00\x00\x05\x00\x00\x03\x00\x00\x00\x04\x00\x01\x00\x12\x00\x11\x00\x03\x00\x02\x00\x12\x00\x12\x00\x11'
seed refuse-and-stop '\x07\x10\x06\x02\x05\x00\x00\x11\x00\x12\x00\x11\x00\x11\x00\x11\x00\x11\x00\x11\x00\x11'
seed about-and-keys '\x00\x20\x05\x00\x04\x86\x04\x00\x05\x01\x04\x01\x04\x05\x00\x03\x00\x03\x06\x00\x05\x00\x04\x00'

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
"$build/zarta-fuzz" "$corpus" -max_total_time="$seconds" -max_len=256 -len_control=20 -timeout=20 \
    -rss_limit_mb=3072 -print_final_stats=1 -artifact_prefix="$artifacts/" "$@" || status=$?
if [ "$status" -ne 0 ]; then
    echo "fuzz: failed (status $status); replay with: $build/zarta-fuzz $artifacts/<crash-or-timeout file>" >&2
    ls -1 "$artifacts" >&2
    exit "$status"
fi
echo "fuzz: no failure in $seconds s; corpus: $(find "$corpus" -type f | wc -l) inputs"
