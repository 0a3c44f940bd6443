#!/usr/bin/env bash
# The mutation check of the test suite: plants each fault of tools/mutants.txt
# alone in a scratch copy of the tree, builds it incrementally and runs the
# fast tests (everything but Sdl.*). A fault the tests do not notice names a
# missing test. Slow (one build per mutant), so it is not part of CI.
# Mutants of web/ (the page's script, the service worker) never reach the
# fast tests: for them the browser build's site is rebuilt in the scratch
# folder and the browser test runs (tests/web/browser_test.mjs, whose run
# has its own time limit); they need what tools/web.sh --build-only installs.
#
# Usage: tools/mutants.sh [--only ID[,ID...]] [--from ID] [--list] [--validate]
#                         [--exclude REGEX] [--timeout SECONDS] [--jobs N] [--work DIR]
#   --only      run just these mutants
#   --from      run the mutants from this one to the end of the list
#   --list      print the ids and files, run nothing
#   --validate  check that every mutant applies to the tree, run nothing
#   --exclude   also leave out the tests this ctest regex matches (to see
#               what the rest catch, e.g. --exclude '^Referee')
#   --timeout   per-test limit, so a mutant that hangs is caught (default 60)
#   --jobs      parallel build and test jobs (default 2)
#   --work      scratch folder (default ${TMPDIR:-/tmp}/zarta-mutants-$USER)
#
# Each mutant ends as "caught" (with the first test that failed), "survived"
# or "did not build". Exit status 0 when every mutant that can change
# behaviour is caught and every mutant builds; 1 otherwise; 2 for bad use.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_tree=$(cd "$here/.." && pwd)
list="$here/mutants.txt"
only=""
from=""
exclude=""
mode=run
timeout=60
jobs=2
work="${TMPDIR:-/tmp}/zarta-mutants-$(id -un)"

usage() {
    sed -n '11,22p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

while [ $# -gt 0 ]; do
    case "$1" in
    --only) only=${2:?}; shift 2 ;;
    --from) from=${2:?}; shift 2 ;;
    --exclude) exclude=${2:?}; shift 2 ;;
    --list) mode=list; shift ;;
    --validate) mode=validate; shift ;;
    --timeout) timeout=${2:?}; shift 2 ;;
    --jobs) jobs=${2:?}; shift 2 ;;
    --work) work=${2:?}; shift 2 ;;
    -h | --help) usage ;;
    *) echo "mutants.sh: unknown argument '$1'" >&2; usage ;;
    esac
done

command -v python3 >/dev/null || { echo "mutants.sh: python3 is needed" >&2; exit 2; }

# One helper for everything that reads the list or edits files.
helper() {
    python3 - "$@" <<'PYTHON'
import os, sys

def parse(path):
    mutants, block = [], {}
    def close():
        if block:
            for key in ("id", "file", "from", "to"):
                if key not in block:
                    sys.exit(f"mutants.txt: block {block.get('id', '?')} has no '{key}'")
            mutants.append(dict(block))
            block.clear()
    for number, raw in enumerate(open(path, encoding="utf-8").read().split("\n"), 1):
        if raw.startswith("#"):
            continue
        if not raw.strip():
            close()
            continue
        key, sep, value = raw.partition(":")
        if not sep or key not in ("id", "file", "from", "to", "note", "equivalent"):
            sys.exit(f"mutants.txt:{number}: expected 'key: value'")
        value = value[1:] if value.startswith(" ") else value
        if key in ("from", "to"):
            value = value.replace("\\\\", "\0").replace("\\n", "\n").replace("\0", "\\")
        block[key] = value
    close()
    ids = [m["id"] for m in mutants]
    if len(ids) != len(set(ids)):
        sys.exit("mutants.txt: an id is used twice")
    return mutants

def select(mutants, only, start):
    if only:
        wanted = only.split(",")
        unknown = [w for w in wanted if w not in {m["id"] for m in mutants}]
        if unknown:
            sys.exit("mutants.sh: no mutant " + ", ".join(unknown))
        return [m for m in mutants if m["id"] in wanted]
    if start:
        ids = [m["id"] for m in mutants]
        if start not in ids:
            sys.exit("mutants.sh: no mutant " + start)
        return mutants[ids.index(start):]
    return mutants

def problem(tree, m):
    path = os.path.join(tree, m["file"])
    if not os.path.exists(path):
        return "no file " + m["file"]
    count = open(path, encoding="utf-8").read().count(m["from"])
    if count != 1:
        return f"its text occurs {count} times in {m['file']}"
    return ""

command = sys.argv[1]
if command == "select":
    # Tab-separated: id, file, equivalent (0/1), problem.
    _, _, path, tree, only, start = sys.argv
    for m in select(parse(path), only, start):
        print("\t".join([m["id"], m["file"], "1" if "equivalent" in m else "0", problem(tree, m)]))
elif command == "apply":
    _, _, path, tree, ident = sys.argv
    m = next(m for m in parse(path) if m["id"] == ident)
    target = os.path.join(tree, m["file"])
    text = open(target, encoding="utf-8").read()
    open(target + ".unmutated", "w", encoding="utf-8").write(text)
    open(target, "w", encoding="utf-8").write(text.replace(m["from"], m["to"], 1))
elif command == "restore":
    # A restored file gets a fresh time stamp, so the next build compiles it again.
    _, _, tree, name = sys.argv
    target = os.path.join(tree, name)
    if os.path.exists(target + ".unmutated"):
        text = open(target + ".unmutated", encoding="utf-8").read()
        open(target, "w", encoding="utf-8").write(text)
        os.remove(target + ".unmutated")
elif command == "sync":
    # Copies only files whose bytes differ, so unchanged sources keep their
    # time stamps and the build stays incremental.
    _, _, source, tree, listing = sys.argv
    wanted = set(open(listing, encoding="utf-8").read().split("\0")) - {""}
    for name in sorted(wanted):
        src, dst = os.path.join(source, name), os.path.join(tree, name)
        if not os.path.isfile(src) or os.path.islink(src):
            continue
        data = open(src, "rb").read()
        if os.path.exists(dst) and open(dst, "rb").read() == data:
            continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        open(dst, "wb").write(data)
        os.chmod(dst, os.stat(src).st_mode & 0o777)
    for root, _, files in os.walk(tree):
        for f in files:
            name = os.path.relpath(os.path.join(root, f), tree)
            if name not in wanted:
                os.remove(os.path.join(root, f))
PYTHON
}

selection=$(helper select "$list" "$source_tree" "$only" "$from") || exit 2

if [ "$mode" = list ]; then
    printf '%s\n' "$selection" | awk -F'\t' '{ printf "%-48s %s%s\n", $1, $2, ($3 == "1" ? "  (equivalent)" : "") }'
    exit 0
fi
if [ "$mode" = validate ]; then
    bad=$(printf '%s\n' "$selection" | awk -F'\t' '$4 != "" { print $1 ": " $4 }')
    total=$(printf '%s\n' "$selection" | grep -c .)
    if [ -n "$bad" ]; then
        printf '%s\n' "$bad" >&2
        exit 1
    fi
    echo "all $total mutants apply"
    exit 0
fi

tree="$work/src"
build="$work/build"
logs="$work/logs"
mkdir -p "$tree" "$build" "$logs"

# The scratch tree is the working tree as it stands, uncommitted edits included.
(cd "$source_tree" && git ls-files -z --cached --others --exclude-standard) >"$work/files"
while IFS= read -r -d '' file; do
    name=${file#"$tree"/}
    helper restore "$tree" "${name%.unmutated}"
done < <(find "$tree" -name '*.unmutated' -print0)
helper sync "$source_tree" "$tree" "$work/files"

# Configured on every run: the referee's own time limit takes --timeout's
# value, as ctest's --timeout leaves a limit a test sets alone.
[ -f "$build/CMakeCache.txt" ] || echo "configuring $build"
cmake -S "$tree" -B "$build" -DZARTA_WERROR=ON -DZARTA_SDL=OFF -DZARTA_BENCH=OFF \
    -DZARTA_REFEREE_TIMEOUT="$timeout" >"$logs/configure.log" 2>&1 ||
    { echo "mutants.sh: configuring failed, see $logs/configure.log" >&2; exit 1; }

build_tree() {
    cmake --build "$build" -j"$jobs" >"$1" 2>&1
}

# Runs the fast tests; prints the first test that did not pass, or nothing.
run_tests() {
    ctest --test-dir "$build" -E "^Sdl\\.${exclude:+|$exclude}" -j"$jobs" --timeout "$timeout" --stop-on-failure >"$1" 2>&1
    local status=$?
    if [ $status -ne 0 ]; then
        local first
        first=$(grep -m1 -E '\*\*\*|Not Run|Failed  ' "$1" | sed -E 's/.*Test +#[0-9]+: ([^ ]+) .*/\1/; s/.*\*\*\*.*//')
        [ -n "$first" ] || first=$(grep -m1 -E '^[[:space:]]+[0-9]+ - ' "$1" | sed -E 's/^[[:space:]]+[0-9]+ - ([^ ]+).*/\1/')
        echo "${first:-ctest-status-$status}"
    fi
}

echo "building the unmutated tree in $build"
build_tree "$logs/baseline-build.log" || { echo "mutants.sh: the unmutated tree does not build, see $logs/baseline-build.log" >&2; exit 1; }
failing=$(run_tests "$logs/baseline-test.log")
if [ -n "$failing" ]; then
    echo "mutants.sh: the unmutated tree fails $failing, see $logs/baseline-test.log" >&2
    exit 1
fi

# The browser build of the scratch tree and the browser test, for mutants of web/.
web_build="$work/build-web"
browser_test="$work/browser-test"
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}  # emcc's helpers, as in tools/web.sh

build_site() {
    cmake --build "$web_build" --target zarta-site -j"$jobs" >"$1" 2>&1
}

# Runs the browser test on the scratch site; prints the first test that failed, or nothing.
run_browser_test() {
    (cd "$browser_test" && node browser_test.mjs --site "$web_build/site" --frames "$work/pixel-frames.bin" \
        --script "$tree/tests/web/pixel-script.txt") >"$1" 2>&1
    local status=$?
    if [ $status -ne 0 ]; then
        local first
        first=$(grep -m1 '^FAILED: ' "$1" | sed 's/^FAILED: //')
        echo "browser: ${first:-status $status}"
    fi
}

if printf '%s\n' "$selection" | awk -F'\t' '$2 ~ /^web\// && $4 == "" { found = 1 } END { exit !found }'; then
    for tool in emcmake chromium npm node; do
        command -v $tool >/dev/null ||
            { echo "mutants.sh: the web mutants need $tool (tools/web.sh --build-only installs it)" >&2; exit 2; }
    done
    if [ ! -f "$web_build/CMakeCache.txt" ]; then
        echo "configuring $web_build"
        emcmake cmake -S "$tree" -B "$web_build" -DCMAKE_BUILD_TYPE=MinSizeRel -DZARTA_WERROR=ON \
            -DZARTA_ICON_EXPORT="$build/zarta-icons" >"$logs/configure-web.log" 2>&1 ||
            { echo "mutants.sh: configuring the web build failed, see $logs/configure-web.log" >&2; exit 1; }
    fi
    # A copy of the test beside its own modules: the scratch tree holds only the tree's files.
    mkdir -p "$browser_test"
    cp "$tree/tests/web/browser_test.mjs" "$tree/tests/web/first_frame_bench.mjs" "$tree/tests/web/package.json" \
        "$tree/tests/web/package-lock.json" "$browser_test/"
    (cd "$browser_test" && npm ci --no-audit --no-fund --loglevel=error) >"$logs/npm.log" 2>&1 ||
        { echo "mutants.sh: npm ci failed, see $logs/npm.log" >&2; exit 1; }
    "$build/zarta-screens" "$tree/tests/web/pixel-script.txt" "$work/pixel-frames.bin" >"$logs/frames.log" 2>&1 ||
        { echo "mutants.sh: zarta-screens failed, see $logs/frames.log" >&2; exit 1; }
    echo "building the unmutated site in $web_build"
    build_site "$logs/baseline-web-build.log" ||
        { echo "mutants.sh: the unmutated site does not build, see $logs/baseline-web-build.log" >&2; exit 1; }
    failing=$(run_browser_test "$logs/baseline-browser.log")
    if [ -n "$failing" ]; then
        echo "mutants.sh: the unmutated site fails $failing, see $logs/baseline-browser.log" >&2
        exit 1
    fi
fi

results="$work/results.tsv"
: >"$results"
caught=0 survived=0 unbuilt=0 equivalent_survived=0 unapplied=0 equivalent_caught=0
status=0
while IFS=$'\t' read -r id file equivalent problem; do
    [ -n "$id" ] || continue
    started=$(date +%s)
    if [ -n "$problem" ]; then
        outcome="does not apply ($problem)"
        unapplied=$((unapplied + 1))
        status=1
    else
        helper apply "$list" "$tree" "$id"
        build_step=build_tree test_step=run_tests
        if [[ $file == web/* ]]; then
            build_step=build_site test_step=run_browser_test
        fi
        if ! $build_step "$logs/$id.build.log"; then
            outcome="did not build"
            unbuilt=$((unbuilt + 1))
            status=1
        else
            first=$($test_step "$logs/$id.test.log")
            if [ -n "$first" ]; then
                outcome="caught by $first"
                if [ "$equivalent" = 1 ]; then
                    equivalent_caught=$((equivalent_caught + 1))
                    outcome="$outcome (marked equivalent: a test restates the code?)"
                else
                    caught=$((caught + 1))
                fi
            elif [ "$equivalent" = 1 ]; then
                outcome="survived (equivalent)"
                equivalent_survived=$((equivalent_survived + 1))
            else
                outcome="SURVIVED"
                survived=$((survived + 1))
                status=1
            fi
        fi
        helper restore "$tree" "$file"
    fi
    seconds=$(($(date +%s) - started))
    printf '%-48s %-28s %s (%ds)\n' "$id" "$file" "$outcome" "$seconds"
    printf '%s\t%s\t%s\t%s\n' "$id" "$file" "$outcome" "$seconds" >>"$results"
done <<<"$selection"

total=$(printf '%s\n' "$selection" | grep -c .)
echo
echo "$total mutants: $caught caught, $survived survived, $unbuilt did not build, $unapplied did not apply;" \
    "$equivalent_survived equivalent survived, $equivalent_caught equivalent caught"
echo "results in $results, logs in $logs"
exit $status
