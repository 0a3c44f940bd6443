#!/usr/bin/env bash
# Plays games with zarta-sim for the scripted humans over many seeds and
# replays every trace through the independent referee, a thousand games at a
# time so a long run needs little disk.
# Usage: run.sh [--node] [--computer C] [--deal D] [--humans H,H...] [--per-trace N] PATH/TO/zarta-sim[.js] [GAMES]
#   GAMES in all (default 1500), N games a trace (default 50), the humans taking
#   turns (default random,passive,greedy), the computer seats classic (default) or expert,
#   the deal described (default) or shuffled
set -euo pipefail
runner=()
table=()  # the table's options: its computer seats and its deal
humans=(random passive greedy)
# Fifty games a trace: long games and fresh starts both get their share.
per_trace=50
while [[ "${1:-}" == --* ]]; do
    case $1 in
    --node) runner=(node); shift ;;
    --computer) table+=(--computer "${2:?}"); shift 2 ;;
    --deal) table+=(--deal "${2:?}"); shift 2 ;;
    --humans) IFS=, read -r -a humans <<<"${2:?}"; shift 2 ;;
    --per-trace) per_trace=${2:?}; shift 2 ;;
    *) echo "run.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
sim=${1:?usage: run.sh [--node] [--computer C] [--deal D] [--humans H,H...] [--per-trace N] PATH/TO/zarta-sim [GAMES]}
games=${2:-1500}
here=$(cd "$(dirname "$0")" && pwd)
command -v python3 >/dev/null || { echo "referee: SKIP: python3 is not installed" >&2; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "referee: FAIL: $*" >&2
    exit 1
}

# Fifty games take well under a second and write at most a few megabytes,
# under the sanitizers too (the expert, which plays each move out, takes a
# few seconds for twenty); a game that never ends meets one of these bounds
# long before it fills the disk. The replay of twenty traces takes seconds.
run_seconds=60
trace_megabytes=256
replay_seconds=180

# Plays one trace's games; a run that meets a bound or fails is named with the
# command that repeats it. The subshell waits for the run rather than becoming
# it, so the shell's report of a signal lands in the run's own errors, which
# are passed on unless a bound stopped the run.
play() {
    local human=$1 seed=$2 trace=$3 status=0
    (
        ulimit -c 0 -f $((trace_megabytes * 1024))
        timeout "$run_seconds" "${runner[@]}" "$sim" "${table[@]}" --human "$human" --seed "$seed" \
            --games "$per_trace" --trace "$trace"
        exit $?
    ) >/dev/null 2>"$work/run-errors" || status=$?
    local run="${runner[*]}${runner:+ }$sim ${table[*]}${table:+ }--human $human --seed $seed --games $per_trace --trace FILE"
    case $status in
    124) fail "$run did not finish within $run_seconds s" ;;
    $((128 + $(kill -l XFSZ)))) fail "$run wrote $trace_megabytes MB of trace and was stopped" ;;
    esac
    cat "$work/run-errors" >&2
    [[ $status -eq 0 ]] || fail "$run ended with status $status"
}

traces=$(((games + per_trace - 1) / per_trace))
playing=0
replaying=0
replayed=0
for ((first = 0; first < traces; first += 20)); do
    rm -f "$work"/batch-*.jsonl
    started=$(date +%s%N)
    for ((i = first; i < traces && i < first + 20; i++)); do
        human=${humans[i % ${#humans[@]}]}
        seed=$((i / ${#humans[@]} + 1))
        play "$human" "$seed" "$work/batch-$human-$seed.jsonl"
    done
    played=$(date +%s%N)
    status=0
    timeout "$replay_seconds" python3 "$here/referee.py" "$work"/batch-*.jsonl >"$work/verdict" || status=$?
    [[ $status -ne 124 ]] || fail "the replay of traces $((first + 1)) to $i did not finish within $replay_seconds s"
    [[ $status -eq 0 ]] || exit 1
    replayed=$((replayed + $(grep -o '^referee: [0-9]*' "$work/verdict" | grep -o '[0-9]*$')))
    playing=$((playing + played - started))
    replaying=$((replaying + $(date +%s%N) - played))
    # The planted differences go into the last human's first trace (greedy's, by default).
    [[ -f "$work/sample.jsonl" ]] || cp "$work/batch-${humans[-1]}-1.jsonl" "$work/sample.jsonl"
done
echo "referee: $replayed games replayed with no difference; playing took $((playing / 1000000)) ms, replaying $((replaying / 1000000)) ms"
# The referee's own rules, and a difference planted in a real trace reported where it is.
python3 "$here/test_referee.py" "$work/sample.jsonl"
