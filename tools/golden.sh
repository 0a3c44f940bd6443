#!/usr/bin/env bash
# The golden transcripts: what the table says and decides, pinned. For each
# table and scripted human, the account of a few games (every line What
# happened shows, hints included) and a digest of the trace of more games.
# Checks a build against tests/golden/, or with --update rewrites the files
# and prints the difference, to be read line by line before it is committed.
# Usage: golden.sh [--update] PATH/TO/zarta-sim
set -euo pipefail
update=0
if [[ "${1:-}" == --update ]]; then
    update=1
    shift
fi
sim=${1:?usage: golden.sh [--update] PATH/TO/zarta-sim}
here=$(cd "$(dirname "$0")/.." && pwd)
golden=$here/tests/golden
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

humans=(random passive greedy hint)
# Seeds none of the other tests use, so a change shows here first.
account_seed=21
account_games=2
digest_seeds=(22 23)
declare -A digest_games=([classic]=20 [expert]=8)

summary_of() {
    grep -v -e '^wall time ' -e '^cpu time ' -e '^expert time ' "$1" | tr '\n' ';' | sed 's/;$//'
}

mkdir -p "$work/new"
for table in classic expert; do
    for human in "${humans[@]}"; do
        "$sim" --computer "$table" --human "$human" --seed "$account_seed" --games "$account_games" --check \
            --no-pixels --account "$work/new/account-$table-$human.txt" >/dev/null ||
            { echo "golden: FAIL: $table $human seed $account_seed exited with $?" >&2; exit 1; }
        for seed in "${digest_seeds[@]}"; do
            games=${digest_games[$table]}
            "$sim" --computer "$table" --human "$human" --seed "$seed" --games "$games" --check --no-pixels \
                --trace "$work/trace.jsonl" >"$work/summary.txt" ||
                { echo "golden: FAIL: $table $human seed $seed exited with $?" >&2; exit 1; }
            digest=$(sha256sum "$work/trace.jsonl" | cut -c1-16)
            echo "$table $human seed $seed games $games: trace $digest; $(summary_of "$work/summary.txt")"
        done
    done
done >"$work/new/trace-digests.txt"

changed=0
for file in "$work"/new/*; do
    name=$(basename "$file")
    if ! cmp -s "$file" "$golden/$name"; then
        changed=1
        diff -u --label "tests/golden/$name" --label "now" "$golden/$name" "$file" 2>/dev/null | head -n 80 || true
        [[ -e "$golden/$name" ]] || echo "golden: tests/golden/$name is new"
    fi
done
for file in "$golden"/*.txt; do
    [[ -e "$file" && ! -e "$work/new/$(basename "$file")" ]] && { echo "golden: $file is no longer made"; changed=1; }
done

if ((update)); then
    rm -f "$golden"/*.txt
    cp "$work"/new/* "$golden/"
    ((changed)) && echo "golden: rewritten; read the difference above line by line before committing it" ||
        echo "golden: unchanged"
    exit 0
fi
if ((changed)); then
    echo "golden: FAIL: what the table says or decides has changed (above). If the change is intended," >&2
    echo "golden: rewrite the files with tools/golden.sh --update $sim and read the difference (docs/testing.md)." >&2
    exit 1
fi
echo "golden: $(ls "$golden" | wc -l) files as pinned"
