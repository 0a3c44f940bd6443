// zarta-desktop-bench: the desktop back end's own figures, under a real (or
// virtual) display: what showing one frame costs at the window's scale, and
// how long pauses take on the wall clock. Figures, not tests: nothing fails
// here. Run it through bench/startup-figures.sh, which gives it a display
// large enough for scale 3.
#include "app/Program.h"
#include "model/GameEvents.h"
#include "model/GameState.h"
#include "platform/Core.h"
#include "platform/Headless.h"
#include "platform/Platform.h"
#include "platform/Sdl.h"
#include "tools/FreshProcess.h"
#include "tools/ScriptedHuman.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
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

// One pause unit through the back end, as between the game's animation steps.
void waitOneUnit()
{
    platform::core::currentBackend().startPause(1);
    platform::core::currentBackend().waitUnits(1);
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
            waitOneUnit();
        }
    }
    return times;
}

using Frame = std::vector<std::uint8_t>;

sim::ScriptedHuman* human = nullptr;
void roundDealt()
{
    human->roundDealt();
}

// The frames a game shows, in order, as the desktop back end would be handed
// them: up to `count` of them from a greedy human's game, played through the
// headless back end before the window opens.
std::vector<Frame> recordGameFrames(std::size_t count)
{
    namespace headless = platform::headless;
    std::vector<Frame> frames;
    if (!sim::startFreshProcess())
        return frames;
    // The headless back end is handed no frames: the screen is composed here
    // as the desktop's present() would compose it.
    auto record = [&] {
        const Frame& shown = platform::core::composeScreen().pixels;
        if (frames.size() < count && (frames.empty() || frames.back() != shown))
            frames.push_back(shown);
    };
    std::mt19937_64 random(5);
    sim::ScriptedHuman player(sim::Strategy::greedy, random);
    human = &player;
    gameWatcher.dealt = roundDealt;
    headless::setPauseObserver([&](int) { record(); });
    headless::setBoxAnswerer([&](std::string_view text, std::string_view, platform::BoxButtons buttons) {
        record();
        return player.answerBox(text, buttons);
    });
    while (frames.size() < count && !headless::exited()) {
        sim::queueHumanInput(game.gameRunning ? player.nextInput() : sim::HumanInput::newGame());
        runMessageLoop();
        record();
    }
    headless::setPauseObserver(nullptr);
    headless::setBoxAnswerer(nullptr);
    gameWatcher.dealt = nullptr;
    human = nullptr;
    return frames;
}

// Shows the recorded frames in order, one pause unit apart; the time of each call.
std::vector<double> showGameFrames(const std::vector<Frame>& frames)
{
    std::vector<double> times;
    for (const Frame& frame : frames) {
        const auto start = Clock::now();
        platform::core::currentBackend().present(frame.data(), platform::core::screenPalette());
        times.push_back(millisecondsSince(start));
        waitOneUnit();
    }
    return times;
}

// The least showing a whole frame of this size can cost: filling that many
// bytes of memory once, with nothing else, one pause unit apart.
double fillFloor(int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    std::vector<double> times;
    for (int i = 0; i < 200; ++i) {
        const auto start = Clock::now();
        std::memset(pixels.data(), i, pixels.size());
        times.push_back(millisecondsSince(start));
        waitOneUnit();
    }
    return median(times);
}

double percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1))];
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
    const std::vector<Frame> gameFrames = recordGameFrames(400);
    const auto wrongSize = [](const Frame& frame) {
        return frame.size() != static_cast<std::size_t>(platform::screenWidth * platform::screenHeight);
    };
    if (gameFrames.empty() || std::any_of(gameFrames.begin(), gameFrames.end(), wrongSize)) {
        std::fprintf(stderr, "zarta-desktop-bench: the game's frames were not recorded whole\n");
        return 1;
    }
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

    std::printf("filling a whole frame's %.1f MB of memory, one unit apart: median %.3f ms over 200\n",
                width * height * 4 / 1e6, fillFloor(width, height));
    const std::vector<double> game = showGameFrames(gameFrames);
    if (!game.empty())
        std::printf("show() of a game's own frames, one unit apart: median %.3f ms, 90th percentile %.3f ms, "
                    "slowest %.3f ms, over %zu\n",
                    median(game), percentile(game, 0.9), percentile(game, 1.0), game.size());

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
