#!/usr/bin/env bash
# The shuffled deal is fair where the described one is not: over 1,000 games
# the first round's dealer holds the three dealer-draw cards it has seen no
# more often than chance, nearly every first deck differs, and every deck is
# the 32 cards once each. The described deal, for contrast, fails the first
# two. Usage: shuffled_deal_test.sh PATH/TO/zarta-sim
set -euo pipefail
sim=${1:?usage: shuffled_deal_test.sh PATH/TO/zarta-sim}
command -v python3 >/dev/null || { echo "shuffled_deal_test: SKIP: python3 is not installed" >&2; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$sim" --deal shuffled --games 1000 --seed 5 --human passive --no-pixels --trace "$work/shuffled.jsonl" >/dev/null
"$sim" --games 300 --seed 5 --human passive --no-pixels --trace "$work/described.jsonl" >/dev/null
# The same --seed draws other game seeds, and other seeds other games.
"$sim" --deal shuffled --games 1000 --seed 5 --human passive --no-pixels --trace "$work/again.jsonl" >/dev/null
cmp -s "$work/shuffled.jsonl" "$work/again.jsonl" || { echo "FAIL: one --seed played two different runs" >&2; exit 1; }

python3 - "$work/shuffled.jsonl" "$work/described.jsonl" <<'PYTHON'
import json, sys

def first_rounds(path):
    """Per game: the dealer-draw deck and the first round's deck."""
    games, shuffles = [], []
    with open(path) as trace:
        for line in trace:
            event = json.loads(line)
            if event.get("ev") == "input" and event.get("kind") == "command" and event.get("id") == 40005:
                shuffles = []
                games.append(shuffles)
            elif event.get("ev") == "shuffle":
                if sorted(event["deck"]) != sorted(set(event["deck"])) or len(event["deck"]) != 32:
                    sys.exit(f"FAIL: {path}: a deck that is not 32 different cards: {event['deck']}")
                shuffles.append(event["deck"])
    return [(s[0], s[1]) for s in games if len(s) >= 2]

failures = []
shuffled = first_rounds(sys.argv[1])
described = first_rounds(sys.argv[2])
if len(shuffled) < 1000:
    failures.append(f"only {len(shuffled)} shuffled games began")
# The dealer is dealt the round deck's first three; the draw showed the draw deck's first four.
def holds_draw(draw, deck):
    return set(deck[:3]) <= set(draw[:4])
seen = sum(holds_draw(d, r) for d, r in shuffled)
# Chance is 4 in 4,960 a game: about 0.8 in 1,000; 6 or more would come by chance once in about 10^4 runs.
if seen > 5:
    failures.append(f"the first dealer held the three draw cards in {seen} of {len(shuffled)} shuffled games")
distinct = len({tuple(r) for _, r in shuffled})
if distinct < len(shuffled) - 2:
    failures.append(f"only {distinct} different first decks in {len(shuffled)} shuffled games")
# The contrast: the described deal repeats and leaks, or this test measures nothing.
leaks = sum(holds_draw(d, r) for d, r in described)
repeats = len(described) - len({tuple(r) for _, r in described})
if leaks < len(described) // 4 or repeats < len(described) // 2:
    failures.append(f"the described deal leaked {leaks} and repeated {repeats} of {len(described)}: the check sees nothing")
print(f"shuffled: the draw cards dealt to the first dealer {seen} times in {len(shuffled)} games, "
      f"{distinct} different first decks; described: {leaks} and {len(described) - repeats} in {len(described)}")
for failure in failures:
    print("FAIL:", failure, file=sys.stderr)
sys.exit(1 if failures else 0)
PYTHON
