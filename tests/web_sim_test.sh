#!/usr/bin/env bash
# The simulator built for the web, run by node, writes the same traces and
# summaries as the native one: the browser's game is the same game.
#
# Usage: tests/web_sim_test.sh NATIVE_ZARTA_SIM WEB_ZARTA_SIM_JS
set -uo pipefail
native=${1:?usage: tests/web_sim_test.sh NATIVE_ZARTA_SIM WEB_ZARTA_SIM_JS}
web=${2:?usage: tests/web_sim_test.sh NATIVE_ZARTA_SIM WEB_ZARTA_SIM_JS}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
node_sim() { node "$web" "$@"; }

passed=0
failed=0
check() {
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $name" >&2
  fi
}

# Runs both with the same arguments; the traces, summaries (but for the times taken) and statuses must agree.
same_run() {
  local name=$1
  shift
  local nativeStatus=0 webStatus=0
  "$native" "$@" --trace "$work/$name.native.jsonl" 2>"$work/$name.native.err" | grep -v -e "^wall time " -e "^cpu time " -e "^expert time " >"$work/$name.native.out" || nativeStatus=${PIPESTATUS[0]}
  node_sim "$@" --trace "$work/$name.web.jsonl" 2>"$work/$name.web.err" | grep -v -e "^wall time " -e "^cpu time " -e "^expert time " >"$work/$name.web.out" || webStatus=${PIPESTATUS[0]}
  [[ $nativeStatus -eq $webStatus ]] || { echo "$name: status $nativeStatus native, $webStatus web" >&2; return 1; }
  cmp "$work/$name.native.jsonl" "$work/$name.web.jsonl" || return 1
  diff "$work/$name.native.out" "$work/$name.web.out" >&2 || return 1
}

for human in random passive greedy; do
  for seed in 3 17 2024; do
    check "trace $human seed $seed" same_run "$human-$seed" --games 3 --human "$human" --seed "$seed" --check
  done
done
# An expert table, against the coached human too.
for human in greedy hint; do
  for seed in 3 17; do
    check "expert trace $human seed $seed" same_run "expert-$human-$seed" --computer expert --games 2 \
      --human "$human" --seed "$seed" --check
  done
done

# The browser's games follow the rules as the independent referee states them.
check "the referee replays the web traces" python3 "$(dirname "$0")/referee/referee.py" "$work"/*.web.jsonl

# Bad arguments: the same message and status.
bad_arguments() {
  local nativeStatus=0 webStatus=0
  "$native" --human nobody >/dev/null 2>"$work/bad.native" || nativeStatus=$?
  node_sim --human nobody >/dev/null 2>"$work/bad.web" || webStatus=$?
  [[ $nativeStatus -ne 0 && $nativeStatus -eq $webStatus ]] && diff "$work/bad.native" "$work/bad.web" >&2
}
check "bad arguments" bad_arguments

echo "web simulator: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
