#!/usr/bin/env bash
# Start-up of the desktop program against the least an SDL program must do
# to show one frame, measured side by side on one virtual display large
# enough for scale 3 (720 x 960): the minimal program opens a window of that
# size, fills its window surface and shows it once. Zarta runs with
# ZARTA_EXIT_AFTER_FIRST_FRAME=1, so it ends right after its first frame is
# on screen. Runs alternate between the two, and /bin/true, which shows what
# the measuring itself adds; each figure is the median of the runs: wall
# time, processor time (user + system) and peak memory (maxrss), read from
# the program itself when it ends.
# Then zarta-desktop-bench, on the same display, gives what showing a frame
# costs and how long pauses take.
#
# Usage: bench/startup-figures.sh BUILD_DIR [RUNS]
#        (needs Xvfb, a C++ compiler and SDL2's development files)
set -euo pipefail
build=$(realpath "${1:?usage: bench/startup-figures.sh BUILD_DIR [RUNS]}")
runs=${2:-15}
for command in Xvfb c++ pkg-config; do
    command -v "$command" >/dev/null || { echo "startup-figures: $command is not installed" >&2; exit 2; }
done
[ -x "$build/zarta" ] || { echo "startup-figures: no $build/zarta" >&2; exit 2; }

work=$(mktemp -d)
chmod 700 "$work"
xvfb=
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

cat >"$work/minimal.cpp" <<'EOF'
// One frame through the window surface at scale 3, then exit.
#define SDL_MAIN_HANDLED
#include <SDL.h>

int main()
{
    SDL_SetMainReady();
    // A plain window surface, as the game uses: no renderer behind it.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return 1;
    SDL_Window* window = SDL_CreateWindow("minimal", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 720, 960, 0);
    SDL_Surface* surface = window ? SDL_GetWindowSurface(window) : nullptr;
    if (!surface)
        return 1;
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 128, 0));
    SDL_UpdateWindowSurface(window);
    return 0;
}
EOF
# shellcheck disable=SC2046 # pkg-config's words are separate arguments
c++ -O2 -o "$work/minimal" "$work/minimal.cpp" $(pkg-config --cflags --libs sdl2)

# Runs a command as its own direct child and prints its wall and processor
# milliseconds, its peak KiB and its exit status, all of the command itself
# (wait4): no interpreter or wrapper script stands between, to be counted.
cat >"$work/measure.cpp" <<'EOF'
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t child = fork();
    if (child < 0)
        return 1;
    if (child == 0) {
        execv(argv[1], argv + 1);
        std::perror(argv[1]);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child)
        return 1;
    timespec end{};
    clock_gettime(CLOCK_MONOTONIC, &end);
    const double wall = static_cast<double>(end.tv_sec - start.tv_sec) * 1e3 +
                        static_cast<double>(end.tv_nsec - start.tv_nsec) / 1e6;
    const double processor = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                             static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::printf("%.1f %.1f %ld %d\n", wall, processor, usage.ru_maxrss, code);
    return 0;
}
EOF
c++ -O2 -o "$work/measure" "$work/measure.cpp"

Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
number=
for _ in $(seq 100); do
    number=$(head -n 1 "$work/display" 2>/dev/null || true)
    [ -n "$number" ] && break
    sleep 0.1
done
[ -n "$number" ] || { echo "startup-figures: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number" XDG_RUNTIME_DIR=$work

for _ in $(seq "$runs"); do
    ZARTA_EXIT_AFTER_FIRST_FRAME=1 "$work/measure" "$build/zarta" >>"$work/zarta.txt"
    "$work/measure" "$work/minimal" >>"$work/minimal.txt"
    "$work/measure" /bin/true >>"$work/true.txt"
done
if awk '$4 != 0 { bad = 1 } END { exit !bad }' "$work/zarta.txt" "$work/minimal.txt" "$work/true.txt"; then
    echo "startup-figures: a run failed" >&2
    exit 1
fi

# Median of column $2 of file $1.
median() { awk -v c="$2" '{ print $c }' "$1" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
report() {
    local label=$1 column=$2 unit=$3 zarta minimal
    zarta=$(median "$work/zarta.txt" "$column")
    minimal=$(median "$work/minimal.txt" "$column")
    printf '%-24s zarta %8s %s   minimal %8s %s   ratio %s\n' "$label" "$zarta" "$unit" "$minimal" "$unit" \
        "$(awk -v a="$zarta" -v b="$minimal" 'BEGIN { printf "%.2f", a / b }')"
}
echo "start-up to the first frame, medians of $runs runs each, alternating:"
report "wall time" 1 ms
report "processor time" 2 ms
report "peak memory" 3 KiB
printf '/bin/true, the floor: wall %s ms, processor %s ms, peak memory %s KiB\n' "$(median "$work/true.txt" 1)" \
    "$(median "$work/true.txt" 2)" "$(median "$work/true.txt" 3)"

if [ -x "$build/zarta-desktop-bench" ]; then
    echo
    "$build/zarta-desktop-bench"
fi
