// zarta-sim: plays whole games of the real program on the headless back end,
// with a scripted human, a virtual clock and an optional JSON Lines trace.
// Everything it writes except the wall-time line is a function of its arguments.
#include "ai/MoveDecision.h"
#include "app/Program.h"
#include "model/GameEvents.h"
#include "model/GameState.h"
#include "model/HandEvaluation.h"
#include "model/InternalError.h"
#include "platform/Headless.h"
#include "resources/BoardIds.h"
#include "tools/FreshProcess.h"
#include "tools/ScriptedHuman.h"
#include "tools/SettlementCheck.h"
#include "tools/SoundnessCheck.h"
#include "tools/TraceJson.h"
#ifdef ZARTA_SIM_FRAMES
#include "tools/FrameFiles.h"
#endif

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <string>

namespace {

using sim::Strategy;

struct Options {
    long games = 1;
    std::uint64_t seed = 1;
    Strategy human = Strategy::random;
    std::string tracePath;
    bool check = false;
    bool noPixels = false;
    std::string framesFolder;
};

struct Totals {
    long games = 0;  // played to the game-over box
    long rounds = 0;
    long wins = 0;
    long losses = 0;
    long byStop = 0;
    long byThirtyOne = 0;
    long byThreeAces = 0;
    long allEqual = 0;
};

constexpr int exitViolation = 1;
constexpr int exitBadArguments = 2;

// Liveness bounds. A round that outlasts them is reported as a violation,
// with or without --check, since the run would otherwise never end.
constexpr long maximumInputsPerRound = 2000;
constexpr long maximumInputsPerGame = 20000;
constexpr long maximumComputerMovesPerInput = 1000;

// The run's one set of working values; the game's watchers are plain function pointers.
struct Run {
    Options options;
    Totals totals;
    std::FILE* trace = nullptr;
    std::mt19937_64 random;
    std::unique_ptr<sim::ScriptedHuman> human;
    std::chrono::steady_clock::time_point started;
    std::clock_t startedClock = 0;

    long inputsThisGame = 0;
    long inputsThisRound = 0;
    long roundsThisGame = 0;
    long computerMovesThisInput = 0;
    std::int16_t livesBefore[5] = {};
    sim::SettlementCheck settlementCheck;
    std::string violation;
    std::string framesFailure;  // why a frame could not be written; the run stops

    // How the round in play is ending: whether its last move was an exchange
    // that gave its mover exactly 31, and the human's hand as of the last
    // event, which tells whether the human has exchanged since.
    bool lastMoveMadeThirtyOne = false;
    CardRecord southHandSeen[3] = {};
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

int finish();

// A fault inside the game's own loop: nothing returns to the simulator, so the run ends here.
[[noreturn]] void stopInsideInput(const std::string& violation)
{
    run.violation = violation;
    std::exit(finish());
}

// With --check, a settlement that breaks the rules ends the run where it happens.
void checkSettlement(const std::string& problem)
{
    if (run.options.check && !problem.empty())
        stopInsideInput(problem);
}

bool sameHand(const CardRecord (&a)[3], const CardRecord (&b)[3])
{
    return sameCard(a[0], b[0]) && sameCard(a[1], b[1]) && sameCard(a[2], b[2]);
}

void rememberSouthHand()
{
    std::copy(std::begin(game.hands[seatSouth]), std::end(game.hands[seatSouth]), run.southHandSeen);
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
    run.inputsThisRound = 0;
    run.lastMoveMadeThirtyOne = false;
    rememberSouthHand();
    if (run.human)
        run.human->roundDealt();
    snapshot("deal");
    checkSettlement(run.settlementCheck.roundDealt());
}

void onComputerMoved(Seat seat, Move move)
{
    if (++run.computerMovesThisInput > maximumComputerMovesPerInput)
        stopInsideInput("the computer seats made " + std::to_string(maximumComputerMovesPerInput) +
                        " moves without the round ending or the human getting a turn");
    const bool exchanged = move == Move::exchangeOne || move == Move::exchangeAll;
    const CardRecord(&hand)[3] = game.hands[seat];
    run.lastMoveMadeThirtyOne = exchanged && valueOfThree(hand[0], hand[1], hand[2]) == valueThirtyOne;
    rememberSouthHand();
    run.settlementCheck.computerMoved();
    snapshot("move", "\"seat\":" + std::to_string(seat) + ",\"move\":" + std::to_string(static_cast<int>(move)) + ",");
}

void onSettling(bool scoring)
{
    // A human hand changed since the last event means the human's exchange was the round's last move.
    if (!sameHand(game.hands[seatSouth], run.southHandSeen)) {
        const CardRecord(&hand)[3] = game.hands[seatSouth];
        run.lastMoveMadeThirtyOne = valueOfThree(hand[0], hand[1], hand[2]) == valueThirtyOne;
    }
    if (scoring == 0)
        ++run.totals.allEqual;
    else if (game.threeAcesFlag)
        ++run.totals.byThreeAces;
    else if (run.lastMoveMadeThirtyOne)
        ++run.totals.byThirtyOne;
    else
        ++run.totals.byStop;
    snapshot("settle", "\"scoring\":" + std::to_string(scoring ? 1 : 0) + ",");
    checkSettlement(run.settlementCheck.settled(scoring));
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
        if (command == ids::commandNew) {
            run.roundsThisGame = 0;
            run.inputsThisGame = 0;
            std::fill(std::begin(run.livesBefore), std::end(run.livesBefore), std::int16_t{4});
        }
    };
    observer.boxAnswered = [](std::string_view text, std::string_view caption, int result) {
        writeLine("{\"ev\":\"input\",\"kind\":\"answer\",\"text\":" + sim::jsonString(text) +
                  ",\"caption\":" + sim::jsonString(caption) + ",\"result\":" + std::to_string(result) + "}");
        if (caption == "Game Over") {
            const bool won = text == "You Win...";
            ++(won ? run.totals.wins : run.totals.losses);
            ++run.totals.games;
            writeLine(std::string("{\"ev\":\"game\",\"result\":\"") + (won ? "win" : "lose") +
                      "\",\"rounds\":" + std::to_string(run.roundsThisGame) + "}");
            checkSettlement(run.settlementCheck.gameOverBox(text));
        }
    };
    platform::headless::setObserver(observer);
}

// ---- Options -------------------------------------------------------------------------

void printUsage(std::FILE* out)
{
    std::fputs("Usage: zarta-sim [--games N] [--seed S] [--human random|passive|greedy]\n"
               "                 [--trace FILE|-] [--check] [--no-pixels] [--frames DIR] [--help]\n"
               "Plays whole games of Zarta with no window, the human seat scripted.\n"
               "  --games N     games to play to the end (default 1)\n"
               "  --seed S      seed of the human's choices and the clock (default 1)\n"
               "  --human H     random (default), passive or greedy\n"
               "  --trace FILE  write a JSON Lines trace of the run (- for standard output;\n"
               "                the summary then goes to standard error)\n"
               "  --check       check the game's soundness after every input; stop at the first violation\n"
               "  --no-pixels   run every drawing call but move no pixel (the same trace and summary)\n"
               "  --frames DIR  write every frame shown as DIR/000000.png, 000001.png, ... (240 x 320)\n"
               "The same arguments give the same run. Exit status: 0 done, 1 violation, 2 bad arguments.\n",
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

// 0 to go on, -1 after --help, else the exit status.
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
        } else if (argument == "--no-pixels") {
            options.noPixels = true;
        } else if (argument == "--games") {
            if (!parseNumber(value, 100000000ULL, number) || number == 0) {
                std::fprintf(stderr, "zarta-sim: --games needs a whole number from 1 to 100000000\n");
                return exitBadArguments;
            }
            options.games = static_cast<long>(number);
            ++index;
        } else if (argument == "--seed") {
            if (!parseNumber(value, 0xFFFFFFFFFFFFFFFFULL, number)) {
                std::fprintf(stderr, "zarta-sim: --seed needs a whole number from 0 to 18446744073709551615\n");
                return exitBadArguments;
            }
            options.seed = number;
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
        } else if (argument == "--frames") {
            if (!value || !*value) {
                std::fprintf(stderr, "zarta-sim: --frames needs a folder\n");
                return exitBadArguments;
            }
            options.framesFolder = value;
            ++index;
        } else {
            std::fprintf(stderr, "zarta-sim: unknown argument '%s' (try --help)\n", argument.c_str());
            return exitBadArguments;
        }
    }
    return 0;
}

// ---- Frames ---------------------------------------------------------------------------

bool prepareFrames()
{
    if (run.options.framesFolder.empty())
        return true;
    if (run.options.noPixels) {
        std::fprintf(stderr, "zarta-sim: --frames needs pixels; leave out --no-pixels\n");
        return false;
    }
#ifdef ZARTA_SIM_FRAMES
    std::string failure;
    if (!tools::prepareFrameFolder(run.options.framesFolder, failure)) {
        std::fprintf(stderr, "zarta-sim: cannot write frames to '%s': %s\n", run.options.framesFolder.c_str(),
                     failure.c_str());
        return false;
    }
    return true;
#else
    std::fprintf(stderr, "zarta-sim: --frames is not available in this build\n");
    return false;
#endif
}

// From before start-up, so the first frame written is the first one shown.
void recordFrames()
{
#ifdef ZARTA_SIM_FRAMES
    if (run.options.framesFolder.empty())
        return;
    platform::headless::recordFrames(1);
    platform::headless::setFrameObserver([](const platform::headless::Frame& frame) {
        std::string failure;
        if (run.framesFailure.empty() && !tools::writeFrame(run.options.framesFolder, frame, failure))
            run.framesFailure = "frame " + std::to_string(frame.sequence) + " could not be written: " + failure;
    });
#endif
}

// ---- Playing ---------------------------------------------------------------------------

void think()
{
    // 0.3 to 5 seconds before each human input, so the two shuffles of "New" often share a second.
    const auto milliseconds = static_cast<std::int64_t>(300 + run.random() % 4701);
    platform::headless::setClockMilliseconds(platform::headless::clockMilliseconds() + milliseconds);
}

bool processEnded()
{
    return platform::headless::exited() || platform::headless::quitReceived();
}

void deliver(const sim::HumanInput& input)
{
    think();
    run.computerMovesThisInput = 0;
    ++run.inputsThisGame;
    ++run.inputsThisRound;
    sim::queueHumanInput(input);
    runMessageLoop();
    if (processEnded())
        return;
    snapshot("input");
    if (run.options.check) {
        run.violation = sim::soundnessProblem(run.livesBefore);
        std::copy(std::begin(game.lives), std::end(game.lives), run.livesBefore);
    }
}

// Kept out of main: node optimises a wasm function only for its next call,
// and main has none, so a game inside main would be optimised for nothing.
[[gnu::noinline]] void playGame()
{
    const long endedBefore = run.totals.games;
    deliver(sim::HumanInput::newGame());
    while (game.gameRunning && run.violation.empty() && !processEnded()) {
        if (run.inputsThisRound >= maximumInputsPerRound) {
            run.violation = "round " + std::to_string(run.roundsThisGame) + " did not end within " +
                            std::to_string(maximumInputsPerRound) + " inputs";
        } else if (run.inputsThisGame >= maximumInputsPerGame) {
            run.violation = "the game did not end within " + std::to_string(maximumInputsPerGame) + " inputs";
        } else {
            deliver(run.human->nextInput());
        }
    }
    if (!game.gameRunning && run.violation.empty() && !processEnded() && run.totals.games == endedBefore)
        run.violation = "the game stopped running without the game-over box";
}

bool openTrace()
{
    if (run.options.tracePath.empty())
        return true;
    run.trace = run.options.tracePath == "-" ? stdout : std::fopen(run.options.tracePath.c_str(), "w");
    if (!run.trace) {
        std::fprintf(stderr, "zarta-sim: cannot write the trace to '%s': %s\n", run.options.tracePath.c_str(),
                     std::strerror(errno));
        return false;
    }
    // Line by line, so a run that crashes still leaves every event up to the crash.
    std::setvbuf(run.trace, nullptr, _IOLBF, 1 << 16);
    return true;
}

// Closes the trace, prints the summary and any violation; returns the exit status.
int finish()
{
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - run.started).count();
    // Processor time, user and system: on a busy machine the wall time reads several times higher.
    const double cpuSeconds = static_cast<double>(std::clock() - run.startedClock) / CLOCKS_PER_SEC;
    bool traceWritten = true;
    if (run.trace) {
        traceWritten = std::fflush(run.trace) == 0 && !std::ferror(run.trace);
        if (run.trace != stdout)
            traceWritten = std::fclose(run.trace) == 0 && traceWritten;
        run.trace = nullptr;
    }
    // Standard output stays pure JSON Lines when the trace goes there.
    std::FILE* summary = run.options.tracePath == "-" ? stderr : stdout;
    const Totals& t = run.totals;
    std::fprintf(summary,
                 "games %ld, rounds %ld, human wins %ld, losses %ld\n"
                 "rounds ended by Stop %ld, by 31 %ld, by three aces %ld, all equal %ld\n"
                 "wall time %.3f s, %.0f rounds per wall second\n"
                 "cpu time %.3f s, %.0f rounds per CPU second\n",
                 t.games, t.rounds, t.wins, t.losses, t.byStop, t.byThirtyOne, t.byThreeAces, t.allEqual, seconds,
                 seconds > 0 ? static_cast<double>(t.rounds) / seconds : 0.0, cpuSeconds,
                 cpuSeconds > 0 ? static_cast<double>(t.rounds) / cpuSeconds : 0.0);
    std::fflush(summary);
    if (!run.violation.empty()) {
        std::fprintf(stderr,
                     "zarta-sim: violation in game %ld after input %ld: %s\n"
                     "zarta-sim: to see it again: zarta-sim --seed %llu --human %s --games %ld --check --trace -\n",
                     t.games + 1, run.inputsThisGame, run.violation.c_str(),
                     static_cast<unsigned long long>(run.options.seed), sim::strategyName(run.options.human),
                     t.games + 1);
        return exitViolation;
    }
#ifdef ZARTA_SIM_FRAMES
    if (std::string failure; run.framesFailure.empty() && !tools::finishFrameFolder(failure))
        run.framesFailure = failure;
#endif
    if (!run.framesFailure.empty()) {
        std::fprintf(stderr, "zarta-sim: %s\n", run.framesFailure.c_str());
        return exitViolation;
    }
    if (!traceWritten) {
        std::fprintf(stderr, "zarta-sim: the trace could not be written completely\n");
        return exitViolation;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const int parsed = parseOptions(argc, argv, run.options);
    if (parsed != 0)
        return parsed < 0 ? 0 : parsed;
    if (!openTrace() || !prepareFrames())
        return exitBadArguments;

    run.started = std::chrono::steady_clock::now();
    run.startedClock = std::clock();
    run.random.seed(run.options.seed);
    run.human = std::make_unique<sim::ScriptedHuman>(run.options.human, run.random);

    if (!sim::startFreshProcess(recordFrames)) {
        std::fprintf(stderr, "zarta-sim: start-up failed\n");
        return exitViolation;
    }
    platform::headless::skipPixels(run.options.noPixels);
    platform::headless::setClockMilliseconds(static_cast<std::int64_t>(run.random() % 3600000));
    installObserver();
    platform::headless::setBoxAnswerer([](std::string_view text, std::string_view, platform::BoxButtons buttons) {
        think();
        return run.human->answerBox(text, buttons);
    });
    gameWatcher.shuffled = onShuffled;
    gameWatcher.dealt = onDealt;
    gameWatcher.computerMoved = onComputerMoved;
    gameWatcher.settling = onSettling;
    internalErrorHandler = [](const char* message) { stopInsideInput(message); };
    snapshot("start");

    while (run.totals.games < run.options.games && run.violation.empty() && run.framesFailure.empty() &&
           !processEnded())
        playGame();
    return finish();
}
