#!/usr/bin/env bash
# Plays games with zarta-sim for all three scripted humans over many seeds and
# replays every trace through the independent referee, a thousand games at a
# time so a long run needs little disk.
# Usage: run.sh [--node] PATH/TO/zarta-sim[.js] [GAMES]     (GAMES in all, default 1500)
set -euo pipefail
runner=()
if [[ "${1:-}" == "--node" ]]; then
    shift
    runner=(node)
fi
sim=${1:?usage: run.sh [--node] PATH/TO/zarta-sim [GAMES]}
games=${2:-1500}
here=$(cd "$(dirname "$0")" && pwd)
command -v python3 >/dev/null || { echo "referee: SKIP: python3 is not installed" >&2; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Fifty games a trace: long games and fresh starts both get their share.
per_trace=50
traces=$(((games + per_trace - 1) / per_trace))
playing=0
replaying=0
replayed=0
for ((first = 0; first < traces; first += 20)); do
    rm -f "$work"/batch-*.jsonl
    started=$(date +%s%N)
    for ((i = first; i < traces && i < first + 20; i++)); do
        humans=(random passive greedy)
        human=${humans[i % 3]}
        seed=$((i / 3 + 1))
        "${runner[@]}" "$sim" --human "$human" --seed "$seed" --games "$per_trace" \
            --trace "$work/batch-$human-$seed.jsonl" >/dev/null
    done
    played=$(date +%s%N)
    python3 "$here/referee.py" "$work"/batch-*.jsonl >"$work/verdict" || exit 1
    replayed=$((replayed + $(grep -o '^referee: [0-9]*' "$work/verdict" | grep -o '[0-9]*$')))
    playing=$((playing + played - started))
    replaying=$((replaying + $(date +%s%N) - played))
    [[ -f "$work/greedy-1.jsonl" ]] || cp "$work/batch-greedy-1.jsonl" "$work/greedy-1.jsonl"
done
echo "referee: $replayed games replayed with no difference; playing took $((playing / 1000000)) ms, replaying $((replaying / 1000000)) ms"
# The referee's own rules, and a difference planted in a real trace reported where it is.
python3 "$here/test_referee.py" "$work/greedy-1.jsonl"
