#!/usr/bin/env bash
# The page's build leaves out of Asyncify's instrumentation the functions
# ASYNCIFY_REMOVE names (web/CMakeLists.txt). A name of the game's own must
# still name something, and only in one source file: a pattern that drifts
# onto a function elsewhere, one that pauses, would break the page at run
# time. Read off the native build's objects, whose names are the same.
# usage: asyncify_names_test.sh SOURCE_ROOT BUILD_DIR
set -euo pipefail
root=${1:?usage: asyncify_names_test.sh SOURCE_ROOT BUILD_DIR}
build=${2:?usage: asyncify_names_test.sh SOURCE_ROOT BUILD_DIR}
command -v nm >/dev/null && command -v python3 >/dev/null || { echo "SKIP: nm or python3 missing" >&2; exit 77; }
python3 - "$root/web/CMakeLists.txt" "$build" <<'PYTHON'
import fnmatch, pathlib, re, subprocess, sys
cmake, build = sys.argv[1], pathlib.Path(sys.argv[2])
found = re.search(r"ASYNCIFY_REMOVE=\[([^\]]*)\]", open(cmake).read())
if not found:
    sys.exit("FAIL: no ASYNCIFY_REMOVE in " + cmake)
patterns = re.findall(r"'([^']*)'", found.group(1))
# The allocator, destructors and the C and C++ libraries: not the game's own names.
libraries = {"emmalloc*", "malloc", "free", "operator new*", "*::~*", "*std::__2::*"}
objects = [o for o in build.glob("CMakeFiles/zarta_*.dir/**/*.o")]
if not objects:
    sys.exit(f"FAIL: no objects of the game's libraries under {build}")
defined = {}
for o in objects:
    out = subprocess.run(["nm", "-C", "--defined-only", str(o)], capture_output=True, text=True, check=True).stdout
    for line in out.splitlines():
        parts = line.split(" ", 2)
        if len(parts) == 3 and parts[1] in "TtWw":
            defined.setdefault(parts[2], set()).add(o.name)
problems = []
for pattern in patterns:
    if pattern in libraries:
        continue
    files = set()
    for name, where in defined.items():
        if fnmatch.fnmatchcase(name, pattern):
            files |= where
    if not files:
        problems.append(f"'{pattern}' names no function of the game")
    elif len(files) > 1:
        problems.append(f"'{pattern}' names functions of {len(files)} files: {', '.join(sorted(files))}")
if problems:
    sys.exit("FAIL: " + "; ".join(problems))
print(f"asyncify names: {len(patterns) - len(libraries & set(patterns))} of the game's own, each of one file")
PYTHON
