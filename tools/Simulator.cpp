// zarta-sim: plays whole games of the real program on the headless back end,
// with a scripted human, a virtual clock and an optional JSON Lines trace.
// The whole output is a function of the arguments.
#include "app/BoardIds.h"
#include "app/Program.h"
#include "app/Shell.h"
#include "model/CardCatalogue.h"
#include "model/GameEvents.h"
#include "model/GameState.h"
#include "model/HandEvaluation.h"
#include "platform/Headless.h"
#include "tools/SimulatorSupport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

using sim::Strategy;

struct Options {
    long games = 1;
    unsigned long seed = 1;
    Strategy human = Strategy::random;
    std::string tracePath;
    bool check = false;
};

struct Totals {
    long games = 0;
    long rounds = 0;
    long wins = 0;
    long losses = 0;
    long byStop = 0;
    long byThirtyOne = 0;
    long byThreeAces = 0;
    long allEqual = 0;
};

constexpr int exitBadArguments = 2;
constexpr int exitViolation = 1;
constexpr long maximumInputsPerGame = 100000;

// The run's one set of working values; the game's watchers are plain function pointers.
struct Run {
    Options options;
    Totals totals;
    std::FILE* trace = nullptr;
    std::mt19937_64 random;
    long roundsThisGame = 0;
    std::string violation;
    std::int16_t livesBefore[5] = {};
};

Run run;

void writeLine(const std::string& line)
{
    if (run.trace) {
        std::fputs(line.c_str(), run.trace);
        std::fputc('\n', run.trace);
    }
}

void snapshot(const char* at, const std::string& extra = "")
{
    if (run.trace)
        writeLine(sim::snapshotJson(at, extra, platform::headless::pauseUnits()));
}

// ---- Game watchers -------------------------------------------------------------

void onShuffled(int seconds)
{
    if (run.trace)
        writeLine(sim::shuffleJson(seconds));
}

void onDealt()
{
    ++run.roundsThisGame;
    ++run.totals.rounds;
    snapshot("deal");
}

void onComputerMoved(Seat seat, int move)
{
    snapshot("move", "\"seat\":" + std::to_string(seat) + ",\"move\":" + std::to_string(move) + ",");
}

void onSettling(int scoring)
{
    if (scoring == 0)
        ++run.totals.allEqual;
    else if (game.threeAcesFlag)
        ++run.totals.byThreeAces;
    else if (!game.stopCalled)
        ++run.totals.byThirtyOne;
    else
        ++run.totals.byStop;
    snapshot("settle", "\"scoring\":" + std::to_string(scoring) + ",");
}

// ---- Platform observer -----------------------------------------------------------

void installObserver()
{
    platform::headless::Observer observer;
    observer.tapTaken = [](int controlId) {
        writeLine("{\"ev\":\"input\",\"kind\":\"tap\",\"id\":" + std::to_string(controlId) + "}");
    };
    observer.commandChosen = [](int command) {
        writeLine("{\"ev\":\"input\",\"kind\":\"command\",\"id\":" + std::to_string(command) + "}");
    };
    observer.boxAnswered = [](const std::string& text, const std::string& caption, int result) {
        writeLine("{\"ev\":\"input\",\"kind\":\"answer\",\"text\":" + sim::jsonString(text) +
                  ",\"caption\":" + sim::jsonString(caption) + ",\"result\":" + std::to_string(result) + "}");
        if (caption == "Game Over") {
            const bool won = text == "You Win...";
            ++(won ? run.totals.wins : run.totals.losses);
            writeLine(std::string("{\"ev\":\"game\",\"result\":\"") + (won ? "win" : "lose") +
                      "\",\"rounds\":" + std::to_string(run.roundsThisGame) + "}");
        }
    };
    platform::headless::setObserver(observer);
}

// ---- Options -------------------------------------------------------------------------

void printUsage(std::FILE* out)
{
    std::fputs("Usage: zarta-sim [--games N] [--seed S] [--human random|passive|greedy]\n"
               "                 [--trace FILE|-] [--check] [--help]\n"
               "Plays whole games of Zarta with no window, the human seat scripted.\n"
               "  --games N     games to play (default 1)\n"
               "  --seed S      seed of the human's choices and the clock (default 1)\n"
               "  --human H     random (default), passive or greedy\n"
               "  --trace FILE  write a JSON Lines trace of the run (- for standard output)\n"
               "  --check       check the game's soundness after every input; stop at the first violation\n",
               out);
}

bool parseNumber(const char* text, unsigned long long maximum, unsigned long long& value)
{
    if (!text || !*text)
        return false;
    for (const char* each = text; *each; ++each) {
        if (*each < '0' || *each > '9')
            return false;
    }
    errno = 0;
    char* end = nullptr;
    value = std::strtoull(text, &end, 10);
    return errno == 0 && *end == '\0' && value <= maximum;
}

// 0 to go on, else the exit status.
int parseOptions(int argc, char** argv, Options& options)
{
    for (int index = 1; index < argc; ++index) {
        const std::string argument = argv[index];
        const char* value = index + 1 < argc ? argv[index + 1] : nullptr;
        unsigned long long number = 0;
        if (argument == "--help" || argument == "-h") {
            printUsage(stdout);
            return -1;
        }
        if (argument == "--check") {
            options.check = true;
        } else if (argument == "--games") {
            if (!parseNumber(value, 100000000ULL, number) || number == 0) {
                std::fprintf(stderr, "zarta-sim: --games needs a whole number from 1 to 100000000\n");
                return exitBadArguments;
            }
            options.games = static_cast<long>(number);
            ++index;
        } else if (argument == "--seed") {
            if (!parseNumber(value, 0xFFFFFFFFULL, number)) {
                std::fprintf(stderr, "zarta-sim: --seed needs a whole number from 0 to 4294967295\n");
                return exitBadArguments;
            }
            options.seed = static_cast<unsigned long>(number);
            ++index;
        } else if (argument == "--human") {
            if (!value || !sim::parseStrategy(value, options.human)) {
                std::fprintf(stderr, "zarta-sim: --human takes random, passive or greedy\n");
                return exitBadArguments;
            }
            ++index;
        } else if (argument == "--trace") {
            if (!value || !*value) {
                std::fprintf(stderr, "zarta-sim: --trace needs a file name, or - for standard output\n");
                return exitBadArguments;
            }
            options.tracePath = value;
            ++index;
        } else {
            std::fprintf(stderr, "zarta-sim: unknown argument '%s' (try --help)\n", argument.c_str());
            return exitBadArguments;
        }
    }
    return 0;
}

// ---- Playing ---------------------------------------------------------------------------

void think()
{
    // 0.3 to 5 seconds before each human input, so shuffles often share a second.
    const auto milliseconds = static_cast<std::int64_t>(300 + run.random() % 4701);
    platform::headless::setClockMilliseconds(platform::headless::clockMilliseconds() + milliseconds);
}

void checkAfterInput()
{
    if (!run.options.check || !run.violation.empty())
        return;
    run.violation = sim::soundnessProblem(run.livesBefore);
    std::copy(std::begin(game.lives), std::end(game.lives), run.livesBefore);
}

void deliver(const sim::HumanInput& input)
{
    think();
    switch (input.kind) {
    case sim::HumanInput::Kind::tap:
        platform::headless::pushTap(input.x, input.y);
        runMessageLoop();
        break;
    case sim::HumanInput::Kind::command:
        writeLine("{\"ev\":\"input\",\"kind\":\"command\",\"id\":" + std::to_string(input.command) + "}");
        if (input.command == ids::commandNew) {
            run.roundsThisGame = 0;
            std::fill(std::begin(run.livesBefore), std::end(run.livesBefore), std::int16_t{4});
        }
        platform::postMessage(shell.boardWindow, platform::Msg::command, platform::makeCommandParam(input.command),
                              0);
        runMessageLoop();
        break;
    case sim::HumanInput::Kind::about:
        platform::headless::pushKey('A', true);
        platform::headless::pushKey(platform::keyEnter);
        runMessageLoop();
        break;
    }
    if (platform::headless::exited())
        return;
    snapshot("input");
    checkAfterInput();
}

bool playGame()
{
    deliver(sim::HumanInput::newGame());
    long inputs = 0;
    while (game.gameRunning && run.violation.empty() && !platform::headless::exited()) {
        if (++inputs > maximumInputsPerGame) {
            run.violation = "the game did not end within " + std::to_string(maximumInputsPerGame) + " inputs";
            break;
        }
        deliver(sim::chooseHumanInput(run.options.human, run.random));
    }
    ++run.totals.games;
    return run.violation.empty();
}

}  // namespace

int main(int argc, char** argv)
{
    const int parsed = parseOptions(argc, argv, run.options);
    if (parsed != 0)
        return parsed < 0 ? 0 : parsed;

    if (!run.options.tracePath.empty()) {
        run.trace = run.options.tracePath == "-" ? stdout : std::fopen(run.options.tracePath.c_str(), "w");
        if (!run.trace) {
            std::fprintf(stderr, "zarta-sim: cannot write the trace to '%s': %s\n", run.options.tracePath.c_str(),
                         std::strerror(errno));
            return exitBadArguments;
        }
    }
    run.random.seed(run.options.seed);

    const auto started = std::chrono::steady_clock::now();
    platform::headless::install();
    platform::headless::setClockMilliseconds(static_cast<std::int64_t>(run.random() % 3600000));
    zeroGameState();
    shell = ShellState{};
    gameWatcher.shuffled = onShuffled;
    gameWatcher.dealt = onDealt;
    gameWatcher.computerMoved = onComputerMoved;
    gameWatcher.settling = onSettling;
    installObserver();
    platform::headless::setBoxAnswerer(
        [](const std::string& text, const std::string&, platform::BoxButtons buttons) {
            return sim::answerBox(run.options.human, run.random, text, buttons);
        });

    if (!startUp()) {
        std::fprintf(stderr, "zarta-sim: start-up failed\n");
        return exitViolation;
    }
    runMessageLoop();
    snapshot("start");

    for (long index = 0; index < run.options.games; ++index) {
        if (!playGame() || platform::headless::exited())
            break;
    }
    if (run.trace && run.trace != stdout)
        std::fclose(run.trace);
    else if (run.trace)
        std::fflush(run.trace);

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::FILE* summary = run.trace == stdout ? stderr : stdout;
    std::fprintf(summary,
                 "games %ld, rounds %ld, human wins %ld, losses %ld\n"
                 "rounds ended by Stop %ld, by 31 %ld, by three aces %ld, all equal %ld\n"
                 "wall time %.3f s, %.0f rounds per second\n",
                 run.totals.games, run.totals.rounds, run.totals.wins, run.totals.losses, run.totals.byStop,
                 run.totals.byThirtyOne, run.totals.byThreeAces, run.totals.allEqual, seconds,
                 seconds > 0 ? static_cast<double>(run.totals.rounds) / seconds : 0.0);
    if (!run.violation.empty()) {
        std::fprintf(stderr, "zarta-sim: violation in game %ld (seed %lu, human %s): %s\n", run.totals.games,
                     run.options.seed, sim::strategyName(run.options.human), run.violation.c_str());
        return exitViolation;
    }
    return 0;
}
