// zarta-sim: plays whole games of the real program on the headless back end,
// with a scripted human, a virtual clock and an optional JSON Lines trace.
// Everything it writes except the wall-time line is a function of its arguments.
// Here: the run's outline and the playing of a game; the options, the run's
// trace and summary, the watchers and the frames each have a file of their own.
#include "app/PlayRecord.h"
#include "app/Program.h"
#include "app/Sound.h"
#include "model/GameState.h"
#include "platform/Headless.h"
#include "tools/FreshProcess.h"
#include "tools/SimulatorAccount.h"
#include "tools/ScriptedHuman.h"
#include "tools/SimulatorFrames.h"
#include "tools/SimulatorOptions.h"
#include "tools/SimulatorRun.h"
#include "tools/SimulatorWatchers.h"
#include "tools/SoundnessCheck.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

namespace {

using sim::run;

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
    sim::snapshot("input");
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
        if (run.inputsThisRound >= sim::maximumInputsPerRound) {
            run.violation = "round " + std::to_string(run.roundsThisGame) + " did not end within " +
                            std::to_string(sim::maximumInputsPerRound) + " inputs";
        } else if (run.inputsThisGame >= sim::maximumInputsPerGame) {
            run.violation = "the game did not end within " + std::to_string(sim::maximumInputsPerGame) + " inputs";
        } else {
            deliver(run.human->nextInput());
        }
    }
    if (!game.gameRunning && run.violation.empty() && !processEnded() && run.totals.games == endedBefore)
        run.violation = "the game stopped running without the game-over box";
}

}  // namespace

int main(int argc, char** argv)
{
    const int parsed = sim::parseOptions(argc, argv, run.options);
    if (parsed != 0)
        return parsed < 0 ? 0 : parsed;
    if (!sim::openTrace() || !sim::prepareFrames(run.options))
        return sim::exitBadArguments;

    // The described table writes no header line, so its traces read as they always have.
    setTableLevel(run.options.computer);
    setDealKind(run.options.deal);
    setDecisionTimer({sim::decisionStarts, sim::decisionEnds});
    if (run.options.computer != TableLevel::classic || run.options.deal != DealKind::described) {
        std::string table = std::string("{\"ev\":\"table\",\"computer\":\"") + tableLevelName(run.options.computer) + "\"";
        if (run.options.deal != DealKind::described)
            table += std::string(",\"deal\":\"") + dealKindName(run.options.deal) + "\"";
        sim::writeLine(table + "}");
    }
    run.started = std::chrono::steady_clock::now();
    run.startedClock = std::clock();
    run.random.seed(run.options.seed);
    run.human = std::make_unique<sim::ScriptedHuman>(run.options.human, run.random);

    if (!sim::startFreshProcess([] { sim::recordFrames(run.options.framesFolder, run.framesFailure); })) {
        std::fprintf(stderr, "zarta-sim: start-up failed\n");
        return sim::exitViolation;
    }
    if (!sim::openAccount(run.options.accountPath))
        return sim::exitBadArguments;
    if (!run.options.statsPath.empty()) {
        const std::string aside = std::string(playRecordName) + ".damaged";
        if (!platform::headless::keepPlayerDataIn(playRecordName, run.options.statsPath) ||
            !platform::headless::keepPlayerDataIn(aside, run.options.statsPath + ".damaged")) {
            std::fprintf(stderr, "zarta-sim: --stats is not available in this build\n");
            return sim::exitBadArguments;
        }
        keepPlayRecord();
    }
    platform::headless::skipPixels(run.options.noPixels);
    // Drawn only by games of the shuffled deal, so a described run's choices stay as they were.
    platform::headless::setGameSeeds([] { return static_cast<std::uint64_t>(run.random()); });
    platform::headless::setClockMilliseconds(static_cast<std::int64_t>(run.random() % 3600000));
    sim::watchTheRun();
    // Silent, but the headless back end keeps the cues a player would hear.
    soundGameEvents();
    platform::headless::setBoxAnswerer([](std::string_view text, std::string_view, platform::BoxButtons buttons) {
        think();
        return run.human->answerBox(text, buttons);
    });
    sim::snapshot("start");

    while (run.totals.games < run.options.games && run.violation.empty() && run.framesFailure.empty() &&
           !processEnded())
        playGame();
    return sim::finish();
}
