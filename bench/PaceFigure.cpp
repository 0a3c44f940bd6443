// How long pauses really last on the desktop at a chosen pace: opens the SDL
// back end (it needs a display) and times waitUnits for the game's pause
// lengths. A figure, not a test: see docs/performance.md.
//
// Usage: zarta-pace-figure PACE_MS [REPEATS]
#include "platform/Platform.h"
#include "platform/Sdl.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    const int pace = argc > 1 ? std::atoi(argv[1]) : 40;
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    if (!platform::sdl::install(pace))
        return 1;
    for (int units : {1, 10, 20, 50}) {
        std::vector<double> times;
        for (int i = 0; i < repeats; ++i) {
            const auto started = std::chrono::steady_clock::now();
            platform::waitUnits(units);
            times.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count());
        }
        std::sort(times.begin(), times.end());
        std::printf("pace %3d ms: %2d units took %7.1f ms (median of %d; %d expected)\n", pace, units,
                    times[times.size() / 2], repeats, units * pace);
    }
    platform::exitProcess(0);
    return 0;
}
