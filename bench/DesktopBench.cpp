// zarta-desktop-bench: the desktop back end's own figures, under a real (or
// virtual) display: what showing one frame costs at the window's scale, and
// how long pauses take on the wall clock. Figures, not tests: nothing fails
// here. Run it through bench/startup-figures.sh, which gives it a display
// large enough for scale 3.
#include "platform/Core.h"
#include "platform/Platform.h"
#include "platform/Sdl.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Shows `count` frames through the back end, alternating between two that
// differ in rows [first, last); the time of each call. With `spaced`, frames
// come one pause unit apart, as the game's animation steps do; without, back
// to back, each waiting for the X server to take the one before.
std::vector<double> showFrames(int count, int first, int last, bool spaced)
{
    using namespace platform;
    std::vector<std::uint8_t> frames[2];
    for (int which = 0; which < 2; ++which) {
        frames[which].assign(screenWidth * screenHeight, 0);
        for (int row = first; row < last; ++row) {
            for (int column = 0; column < screenWidth; ++column)
                frames[which][static_cast<std::size_t>(row * screenWidth + column)] =
                    static_cast<std::uint8_t>((row + column + which) % 30);
        }
    }
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        core::currentBackend().present(frames[i % 2].data(), core::screenPalette());
        times.push_back(millisecondsSince(start));
        if (spaced) {
            platform::core::currentBackend().startPause(1);
            platform::core::currentBackend().waitUnits(1);
        }
    }
    return times;
}

// A pause of `units` through the platform, with the screen changed first as
// the animations do; the wall time it took.
double pauseOf(int units, int step)
{
    using namespace platform::core;
    fillRect(state().screen, {0, 100, platform::screenWidth, 140}, step % 2 ? colour::bar : colour::panel);
    markScreenChanged();
    const auto start = Clock::now();
    platform::waitUnits(units);
    return millisecondsSince(start);
}

}  // namespace

int main()
{
    if (!platform::sdl::install(platform::unitMilliseconds))
        return 1;
    platform::core::present();  // the first frame shows the window
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(SDL_GetWindowFromID(1), &width, &height);
    std::printf("window %d x %d, scale %d\n", width, height,
                std::min(width / platform::screenWidth, height / platform::screenHeight));
    for (bool spaced : {true, false}) {
        const std::vector<double> whole = showFrames(spaced ? 200 : 400, 0, platform::screenHeight, spaced);
        const std::vector<double> card = showFrames(spaced ? 200 : 400, 100, 129, spaced);
        const char* how = spaced ? "one unit apart" : "back to back";
        std::printf("show() of a whole new frame, %s: median %.3f ms over %zu\n", how, median(whole), whole.size());
        std::printf("show() of a frame with one card's rows changed, %s: median %.3f ms over %zu\n", how, median(card),
                    card.size());
    }

    const double unit = platform::unitMilliseconds;
    double steps = 0;
    for (int step = 0; step < 100; ++step)
        steps += pauseOf(1, step);
    std::printf("1-unit steps: %.3f ms on average over 100 (unit %.0f ms, %+.2f%%)\n", steps / 100, unit,
                (steps / 100 / unit - 1) * 100);
    for (int units : {4, 20}) {
        std::vector<double> pauses;
        for (int i = 0; i < 10; ++i)
            pauses.push_back(pauseOf(units, i));
        const double average = [&] {
            double sum = 0;
            for (double each : pauses)
                sum += each;
            return sum / static_cast<double>(pauses.size());
        }();
        std::printf("%d-unit pauses: %.3f ms on average over %zu (%+.2f%%)\n", units, average, pauses.size(),
                    (average / (units * unit) - 1) * 100);
    }
    platform::exitProcess(0);
    return 0;
}
