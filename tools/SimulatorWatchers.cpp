// zarta-sim's watchers: what the game and the platform report during the
// run, written to the trace, counted in the totals and fed to the checks.
#include "tools/SimulatorWatchers.h"

#include "ai/MoveDecision.h"
#include "model/GameEvents.h"
#include "model/GameState.h"
#include "model/HandEvaluation.h"
#include "model/InternalError.h"
#include "platform/Headless.h"
#include "resources/BoardIds.h"
#include "tools/SimulatorAccount.h"
#include "tools/SimulatorRun.h"
#include "tools/TraceJson.h"

#include <algorithm>
#include <string>

namespace sim {

namespace {

// What the account watches (--account), told before the run's own watchers act.
GameWatcher accountWatcher;

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

void onShuffled(int seconds)
{
    if (run.trace)
        writeLine(shuffleJson(seconds));
}

void onDealt()
{
    reviewLastRound();
    if (accountWatcher.dealt)
        accountWatcher.dealt();
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
    if (accountWatcher.computerMoved)
        accountWatcher.computerMoved(seat, move);
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
    if (accountWatcher.settling)
        accountWatcher.settling(scoring);
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

void installObserver()
{
    platform::headless::Observer observer;
    observer.tapTaken = [](int controlId) {
        writeLine("{\"ev\":\"input\",\"kind\":\"tap\",\"id\":" + std::to_string(controlId) + "}");
    };
    observer.commandChosen = [](int command) {
        writeLine("{\"ev\":\"input\",\"kind\":\"command\",\"id\":" + std::to_string(command) + "}");
        if (command == ids::commandNew) {
            markNewGame(run.totals.games + 1);
            run.roundsThisGame = 0;
            run.inputsThisGame = 0;
            std::fill(std::begin(run.livesBefore), std::end(run.livesBefore), std::int16_t{4});
        }
    };
    observer.boxAnswered = [](std::string_view text, std::string_view caption, int result) {
        writeLine("{\"ev\":\"input\",\"kind\":\"answer\",\"text\":" + jsonString(text) +
                  ",\"caption\":" + jsonString(caption) + ",\"result\":" + std::to_string(result) + "}");
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

}  // namespace

void watchTheRun()
{
    accountWatcher = gameWatcher;
    installObserver();
    gameWatcher.shuffled = onShuffled;
    gameWatcher.dealt = onDealt;
    gameWatcher.computerMoved = onComputerMoved;
    gameWatcher.settling = onSettling;
    internalErrorHandler = [](const char* message) { stopInsideInput(message); };
}

}  // namespace sim
