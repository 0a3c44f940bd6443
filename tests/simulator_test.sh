#!/usr/bin/env bash
# zarta-sim from the outside: same arguments give the same bytes, bad
# arguments give status 2 and a message, and the trace keeps its ordering
# rules. Usage: simulator_test.sh PATH/TO/zarta-sim
set -uo pipefail
sim=${1:?usage: simulator_test.sh PATH/TO/zarta-sim}
command -v python3 >/dev/null || { echo "simulator_test: SKIP: python3 is not installed" >&2; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# ---- Same arguments, same run ------------------------------------------------------

for human in random passive greedy; do
    for run in 1 2; do
        "$sim" --games 3 --seed 11 --human "$human" --check --trace "$work/$human.$run.jsonl" \
            >"$work/$human.$run.out" 2>"$work/$human.$run.err" || fail "$human run $run exited with $?"
        grep -v -e '^wall time ' -e '^cpu time ' "$work/$human.$run.out" >"$work/$human.$run.summary"
    done
    cmp -s "$work/$human.1.jsonl" "$work/$human.2.jsonl" || fail "$human: two runs with the same arguments wrote different traces"
    cmp -s "$work/$human.1.summary" "$work/$human.2.summary" || fail "$human: two runs with the same arguments printed different summaries"
    grep -q '^games 3, rounds [0-9]*, human wins [0-9]*, losses [0-9]*$' "$work/$human.1.out" || fail "$human: no games line in the summary"
    grep -q '^rounds ended by Stop [0-9]*, by 31 [0-9]*, by three aces [0-9]*, all equal [0-9]*$' "$work/$human.1.out" ||
        fail "$human: no round-ending line in the summary"
    grep -q '^wall time [0-9.]* s, [0-9]* rounds per wall second$' "$work/$human.1.out" || fail "$human: no wall-time line in the summary"
    grep -q '^cpu time [0-9.]* s, [0-9]* rounds per CPU second$' "$work/$human.1.out" || fail "$human: no CPU-time line in the summary"
    # No check reads the screen, so a run that moves no pixel is the same run.
    "$sim" --games 3 --seed 11 --human "$human" --check --no-pixels --trace "$work/$human.np.jsonl" >"$work/$human.np.out" ||
        fail "$human --no-pixels exited with $?"
    cmp -s "$work/$human.1.jsonl" "$work/$human.np.jsonl" || fail "$human: --no-pixels wrote another trace"
    grep -v -e '^wall time ' -e '^cpu time ' "$work/$human.np.out" | cmp -s - "$work/$human.1.summary" ||
        fail "$human: --no-pixels printed another summary"
done
"$sim" --games 3 --seed 12 --trace "$work/other.jsonl" >/dev/null || fail "seed 12 exited with $?"
cmp -s "$work/random.1.jsonl" "$work/other.jsonl" && fail "seeds 11 and 12 wrote the same trace"

# With the trace on standard output, standard output is the trace alone.
"$sim" --games 3 --seed 11 --human random --check --trace - >"$work/stdout.jsonl" 2>"$work/stdout.err" ||
    fail "--trace - exited with $?"
cmp -s "$work/stdout.jsonl" "$work/random.1.jsonl" || fail "--trace - wrote something else than --trace FILE"
grep -q '^games 3,' "$work/stdout.err" || fail "--trace -: the summary is not on standard error"

# ---- Frames ------------------------------------------------------------------------

# --frames shows the run, it does not change it: the same trace, and one
# 240 x 320 picture a frame listed, numbered from 000000 without a gap.
"$sim" --games 1 --seed 11 --human greedy --check --trace "$work/plain.jsonl" >/dev/null || fail "seed 11 exited with $?"
"$sim" --games 1 --seed 11 --human greedy --check --trace "$work/framed.jsonl" --frames "$work/frames" >/dev/null ||
    fail "--frames exited with $?"
cmp -s "$work/plain.jsonl" "$work/framed.jsonl" || fail "--frames wrote another trace"
python3 - "$work/frames" <<'EOF' || fail "frames"
import os, re, struct, sys
folder = sys.argv[1]
lines = open(os.path.join(folder, 'frames.txt')).read().splitlines()
pictures = sorted(name for name in os.listdir(folder) if name.endswith('.png'))
assert len(lines) > 50, f'only {len(lines)} frames in a whole game'
assert pictures == [f'{i:06d}.png' for i in range(len(lines))], 'the pictures are not numbered 000000 on without a gap'
for i, line in enumerate(lines):
    assert re.fullmatch(rf'{i:06d} (input|box|pause (1|10|20|50))', line), f'frames.txt line {i + 1}: {line!r}'
with open(os.path.join(folder, pictures[-1]), 'rb') as picture:
    head = picture.read(24)
assert head[:8] == b'\x89PNG\r\n\x1a\n' and struct.unpack('>II', head[16:24]) == (240, 320), 'not a 240 x 320 PNG'
EOF
for arguments in "--frames" "--frames $work/plain.jsonl" "--frames $work/f --no-pixels"; do
    # shellcheck disable=SC2086 # the arguments are meant to split
    "$sim" $arguments >"$work/bad.out" 2>"$work/bad.err"
    status=$?
    [ "$status" -eq 2 ] || fail "'$arguments' gave status $status, not 2"
    grep -q '^zarta-sim: ' "$work/bad.err" || fail "'$arguments' gave no message on standard error"
done

# ---- Bad arguments -----------------------------------------------------------------

bad_arguments=(
    "--games" "--games 0" "--games -3" "--games 2x" "--games 99999999999"
    "--seed" "--seed -1" "--seed 1.5" "--seed 99999999999999999999"
    "--human" "--human lazy" "--trace" "--check extra" "--verbose"
    "--trace $work/no-such-directory/trace.jsonl"
)
for arguments in "${bad_arguments[@]}"; do
    # shellcheck disable=SC2086 # the arguments are meant to split
    "$sim" $arguments >"$work/bad.out" 2>"$work/bad.err"
    status=$?
    [ "$status" -eq 2 ] || fail "'$arguments' gave status $status, not 2"
    grep -q '^zarta-sim: ' "$work/bad.err" || fail "'$arguments' gave no message on standard error"
    [ -s "$work/bad.out" ] && fail "'$arguments' wrote to standard output"
done
"$sim" --help >"$work/help.out" 2>&1 || fail "--help exited with $?"
grep -q -- '--human' "$work/help.out" || fail "--help does not describe --human"

# ---- The trace's rules ---------------------------------------------------------------

python3 - "$work/random.1.jsonl" "$work/passive.1.jsonl" "$work/greedy.1.jsonl" <<'EOF' || fail "trace rules"
import json, re, sys

CARD = re.compile(r'^([789TJQKA][cdhs]|--|00)$')
SEAT_ARRAYS = ['lives', 'values', 'finished', 'passed', 'passCount', 'winners', 'losers']
FLAGS = ['current', 'dealer', 'running', 'pending', 'first', 'stop', 'closing', 'aces', 'pause']
problems = []

def check(path):
    lines = open(path).read().splitlines()
    events = []
    for number, line in enumerate(lines, 1):
        try:
            event = json.loads(line)
        except ValueError as error:
            problems.append(f'{path}:{number}: not JSON: {error}')
            return
        if not isinstance(event, dict) or 'ev' not in event:
            problems.append(f'{path}:{number}: not an event object')
            return
        events.append(event)

    def problem(index, text):
        problems.append(f'{path}:{index + 1}: {text}')

    if not events or events[0].get('at') != 'start':
        problem(0, 'the trace does not open with the start snapshot')
    open_input = None       # index of the tap or command whose snapshot is due
    deals_since_new = None
    last_pause = 0
    games = 0
    for i, e in enumerate(events):
        kind = e['ev']
        if kind == 'state':
            for key in FLAGS:
                if not isinstance(e.get(key), int):
                    problem(i, f'snapshot without a whole number {key}')
            for key in SEAT_ARRAYS:
                if not (isinstance(e.get(key), list) and len(e[key]) == 4):
                    problem(i, f'snapshot without four {key}')
            cards = [c for hand in e['hands'] for c in hand] + e['table']
            if len(e['hands']) != 4 or len(cards) != 15 or not all(CARD.match(c) for c in cards):
                problem(i, 'snapshot with malformed cards')
            if len(e['handSel']) != 3 or len(e['tableSel']) != 3:
                problem(i, 'snapshot with malformed selections')
            if e['pause'] < last_pause:
                problem(i, 'the pause total went back')
            last_pause = e['pause']
            at = e['at']
            if at == 'deal':
                deals_since_new = (deals_since_new or 0) + 1
                if e['current'] != e['dealer']:
                    problem(i, 'deal snapshot with current != dealer')
            elif at == 'move':
                if e['first'] != 0 or e['seat'] not in (2, 3, 4):
                    problem(i, 'move snapshot of a human seat or before firstTurnOfRound was cleared')
            elif at == 'settle':
                if e['scoring'] == 1:
                    later = next((x for x in events[i + 1:] if 'pause' in x), None)
                    if later is not None and later['pause'] < e['pause'] + 50:
                        problem(i, 'a scoring settlement not followed by the 50-unit pause')
            elif at == 'input':
                if open_input is None:
                    problem(i, 'input snapshot with no tap or command before it')
                open_input = None
        elif kind == 'input':
            if e['kind'] in ('tap', 'command'):
                if open_input is not None:
                    problem(i, 'a second input before the snapshot of the first')
                open_input = i
                if e['kind'] == 'command' and e['id'] == 40005:
                    deals_since_new = 0
                if e['kind'] == 'command' and e['id'] == 40004:
                    problem(i, 'the simulator chose Exit')
            elif e['kind'] == 'answer':
                if open_input is None:
                    problem(i, 'a box answered outside any input')
                if e['result'] not in (1, 6, 7):
                    problem(i, 'a box answer that is not OK, Yes or No')
        elif kind == 'shuffle':
            if len(set(e['deck'])) != 32 or not all(CARD.match(c) and c not in ('--', '00') for c in e['deck']):
                problem(i, 'a shuffle that is not a permutation of the 32 cards')
            if not 0 <= e['seconds'] <= 59:
                problem(i, 'shuffle seconds outside 0..59')
        elif kind == 'game':
            games += 1
            before, after = events[i - 1], events[i + 1] if i + 1 < len(events) else {}
            if before.get('kind') != 'answer' or before.get('caption') != 'Game Over':
                problem(i, 'game event not right after the game-over box')
            if after.get('at') != 'input':
                problem(i, 'game event not right before the input snapshot')
            if e['rounds'] != deals_since_new:
                problem(i, f'game of {e["rounds"]} rounds, but {deals_since_new} deals since New')
        else:
            problem(i, f'unknown event {kind}')
    if open_input is not None:
        problem(open_input, 'an input without its snapshot')
    if games != 3:
        problems.append(f'{path}: {games} games, not 3')
    if events and not (events[-1].get('at') == 'input' and events[-2].get('ev') == 'game'):
        problems.append(f'{path}: the trace does not end with the last game and its input snapshot')

for path in sys.argv[1:]:
    check(path)
for text in problems[:20]:
    print(text, file=sys.stderr)
sys.exit(1 if problems else 0)
EOF

# About through Ctrl+A is one command input with its snapshot, and the dialog is closed after it.
"$sim" --games 20 --seed 3 --trace "$work/about.jsonl" >/dev/null || fail "the About run exited with $?"
python3 - "$work/about.jsonl" <<'EOF' || fail "About in the trace"
import json, sys
events = [json.loads(line) for line in open(sys.argv[1])]
abouts = [i for i, e in enumerate(events) if e.get('kind') == 'command' and e.get('id') == 40003]
if not abouts:
    sys.exit('no About in 20 random games')
for i in abouts:
    if events[i + 1].get('at') != 'input' or events[i - 1].get('at') != 'input':
        sys.exit(f'About at line {i + 1} is not one input between two snapshots')
EOF

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)" >&2
    exit 1
fi
echo "zarta-sim: all checks passed"
