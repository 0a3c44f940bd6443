#!/usr/bin/env bash
# The record of play as files, through zarta-sim --stats (the game's own code):
# two copies writing one record lose nothing of each other's, a copy killed
# while it writes leaves a record that reads, a damaged record is set aside
# with one line and started afresh, and a place that cannot be written costs
# one line and no game. Usage: play_record_test.sh PATH/TO/zarta-sim
set -uo pipefail
sim=${1:?usage: play_record_test.sh PATH/TO/zarta-sim}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
# The games a record counts: won, lost and unfinished, over every line.
counted() {
    awk 'NR > 1 { n += $4 + $6 + $8 } END { print n + 0 }' "$1"
}

# ---- Two copies at once ------------------------------------------------------------
"$sim" --games 150 --seed 1 --human random --no-pixels --stats "$work/shared" >"$work/a.out" 2>&1 &
first=$!
"$sim" --games 150 --seed 2 --human greedy --no-pixels --deal shuffled --stats "$work/shared" >"$work/b.out" 2>&1 ||
    fail "the second copy exited with $?"
wait "$first" || fail "the first copy exited with $?"
[[ $(head -n 1 "$work/shared") == "zarta record 1" ]] || fail "the shared record does not start as a record"
# The random human also leaves games by New; each of those counts too.
left=$(awk 'NR > 1 { n += $8 } END { print n + 0 }' "$work/shared")
[[ $(counted "$work/shared") -eq $((300 + left)) ]] ||
    fail "two copies recorded $(counted "$work/shared") games, not 300 and $left left: $(cat "$work/shared")"
grep -q '^classic shuffled ' "$work/shared" || fail "the shuffled deal's games are not on a line of their own"
grep -q 'zarta:' "$work/a.out" "$work/b.out" && fail "a copy complained: $(cat "$work/a.out" "$work/b.out")"

# ---- Killed while writing ----------------------------------------------------------
for delay in 0.05 0.1 0.2 0.3; do
    "$sim" --games 100000 --seed 3 --human passive --no-pixels --stats "$work/killed" >/dev/null 2>&1 &
    victim=$!
    sleep "$delay"
    kill -9 "$victim" 2>/dev/null
    wait "$victim" 2>/dev/null
    [[ ! -e "$work/killed" || $(head -n 1 "$work/killed") == "zarta record 1" ]] ||
        fail "a copy killed after $delay s left a record that does not read: $(head -c 200 "$work/killed")"
done
before=$(counted "$work/killed")
"$sim" --games 2 --seed 4 --no-pixels --stats "$work/killed" >"$work/after-kill.out" 2>&1 || fail "a game after the kills exited with $?"
grep -q 'could not be read' "$work/after-kill.out" && fail "the record a killed copy left could not be read"
[[ $(counted "$work/killed") -eq $((before + 2)) ]] || fail "the record lost games after the kills"

# ---- Damaged ------------------------------------------------------------------------
printf 'zarta record 1\nclassic described won 2 lost x\n' >"$work/damaged"
"$sim" --games 1 --seed 5 --no-pixels --stats "$work/damaged" >/dev/null 2>"$work/damaged.err" ||
    fail "a damaged record stopped the game: status $?"
[[ $(grep -c 'zarta: your record of play in .* could not be read, so it starts afresh' "$work/damaged.err") -eq 1 ]] ||
    fail "a damaged record did not get its one line: $(cat "$work/damaged.err")"
[[ $(counted "$work/damaged") -eq 1 ]] || fail "the fresh record does not hold the one game: $(cat "$work/damaged")"
grep -q 'lost x' "$work/damaged.damaged" || fail "the damaged record was not kept aside"

# ---- Nowhere to write -----------------------------------------------------------------
: >"$work/a-file"
"$sim" --games 3 --seed 6 --no-pixels --stats "$work/a-file/record" >"$work/nowhere.out" 2>"$work/nowhere.err" ||
    fail "a record that cannot be written stopped the game: status $?"
grep -q '^games 3,' "$work/nowhere.out" || fail "the games did not go on without the record"
[[ $(grep -c 'zarta: your record of play is not kept: .*Not a directory' "$work/nowhere.err") -eq 1 ]] ||
    fail "a record that cannot be written did not get exactly one line: $(cat "$work/nowhere.err")"

# ---- A read-only folder --------------------------------------------------------------
# Root writes through permission bits; an immutable folder stops even root,
# where the file system has the attribute.
mkdir "$work/read-only"
if chattr +i "$work/read-only" 2>/dev/null; then
    "$sim" --games 3 --seed 7 --no-pixels --stats "$work/read-only/record" >"$work/ro.out" 2>"$work/ro.err" ||
        fail "a read-only folder stopped the game: status $?"
    chattr -i "$work/read-only"
    grep -q '^games 3,' "$work/ro.out" || fail "the games did not go on in a read-only folder"
    [[ $(grep -c 'zarta: your record of play is not kept: ' "$work/ro.err") -eq 1 ]] ||
        fail "a read-only folder did not get exactly one line: $(cat "$work/ro.err")"
else
    echo "play_record_test: this file system has no immutable folders; the read-only case is left out"
fi

if ((failures > 0)); then
    echo "play_record_test: $failures failed" >&2
    exit 1
fi
echo "play_record_test: passed"
