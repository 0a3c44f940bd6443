#!/usr/bin/env bash
# Soak: thousands of whole games with the soundness check on, under
# AddressSanitizer and UndefinedBehaviorSanitizer, every human strategy with
# several seeds, two runs at a time. Fails on any non-zero status, violation
# or sanitizer report, and shows the failing run's log.
#
# Usage: tools/soak.sh BUILD_DIR [GAMES_PER_RUN]
#   BUILD_DIR is configured with -DZARTA_SANITIZE=ON; 4 seeds x 3 strategies
#   x GAMES_PER_RUN (default 170) games, 2,040 in all; then the expert table
#   and the coach, whose decisions play rounds out, with a tenth as many
#   games per run (4 seeds x 4 pairings x 17 = 272 by default).
set -euo pipefail
build=${1:?usage: tools/soak.sh BUILD_DIR [GAMES_PER_RUN]}
games=${2:-170}
sim=$build/zarta-sim
seeds=(101 202 303 404)
strategies=(greedy random passive)  # the longest games first
expertGames=$(( (games + 9) / 10 ))
expertPairings=("expert greedy" "expert hint" "expert random" "classic hint")

if [ ! -x "$sim" ]; then
    echo "soak: $sim not found; build it first (cmake --build $build --target zarta-sim)" >&2
    exit 2
fi
symbols=$(nm "$sim" 2>/dev/null || true)
if ! grep -q '__asan_init' <<<"$symbols" || ! grep -q '__ubsan_handle' <<<"$symbols"; then
    echo "soak: $sim is not built with AddressSanitizer and UndefinedBehaviorSanitizer (-DZARTA_SANITIZE=ON)" >&2
    exit 2
fi

logs=$build/soak
rm -rf "$logs"
mkdir -p "$logs"
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0:exitcode=66
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:exitcode=67

# One run; a failure leaves its log as FAILED-*.log.
run_one() {
    local seed=$1 human=$2 computer=${3:-classic} count=${4:-$games}
    local log=$logs/$computer-$human-$seed.log
    local status=0
    "$sim" --games "$count" --seed "$seed" --human "$human" --computer "$computer" --check >"$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ] || grep -Eq 'runtime error|Sanitizer|ERROR:' "$log"; then
        mv "$log" "$logs/FAILED-$computer-$human-$seed-status$status.log"
        echo "soak: FAILED: --computer $computer --human $human --seed $seed --games $count (status $status)" >&2
        return
    fi
    echo "soak: --computer $computer --human $human --seed $seed: $(head -n 1 "$log")"
}

started=$(date +%s)
for seed in "${seeds[@]}"; do
    for human in "${strategies[@]}"; do
        while [ "$(jobs -rp | wc -l)" -ge 2 ]; do
            sleep 0.2
        done
        run_one "$seed" "$human" &
    done
    for pairing in "${expertPairings[@]}"; do
        read -r computer human <<<"$pairing"
        while [ "$(jobs -rp | wc -l)" -ge 2 ]; do
            sleep 0.2
        done
        run_one "$seed" "$human" "$computer" "$expertGames" &
    done
done
wait
elapsed=$(($(date +%s) - started))

shopt -s nullglob
failed=("$logs"/FAILED-*.log)
if [ "${#failed[@]}" -ne 0 ]; then
    for log in "${failed[@]}"; do
        echo "==== $log" >&2
        tail -n 60 "$log" >&2
    done
    echo "soak: ${#failed[@]} of $((${#seeds[@]} * (${#strategies[@]} + ${#expertPairings[@]}))) runs failed (${elapsed} s)" >&2
    exit 1
fi
echo "soak: $((${#seeds[@]} * ${#strategies[@]} * games)) games and $((${#seeds[@]} * ${#expertPairings[@]} * expertGames)) with the expert or the coach passed in ${elapsed} s"
