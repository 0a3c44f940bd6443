// What the simulator, the fuzzer and the whole-game tests share: a fresh
// headless process, the scripted human strategies, the soundness check and
// the trace's JSON.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>

namespace sim {

// Resets the whole process state (back end, game record, shell, watchers)
// and runs start-up until the board waits for input; false when start-up
// failed. The game's watchers come back empty; a box answerer or observer
// set afterwards stays until the next call. `beforeStartUp` runs on the
// fresh back end before start-up, for watchers of the whole run.
bool startFreshProcess(const std::function<void()>& beforeStartUp = {});

// The whole process state as it is now: the platform, the game record and
// the shell. Restoring it puts the process back exactly there, far faster
// than starting a fresh one; the game's watchers come back empty, and the
// box answerer and observer as they were when it was saved.
struct ProcessSnapshot;
std::shared_ptr<const ProcessSnapshot> saveProcess();
void restoreProcess(const ProcessSnapshot& snapshot);

enum class Strategy { random, passive, greedy };

bool parseStrategy(const std::string& name, Strategy& strategy);
const char* strategyName(Strategy strategy);

struct HumanInput {
    enum class Kind { tap, newGame, about };
    Kind kind;
    int x;  // screen pixels, for a tap
    int y;

    static HumanInput tapAt(int x, int y) { return {Kind::tap, x, y}; }
    static HumanInput tapOn(int controlId);                            // the centre of the control, hidden or not
    static HumanInput newGame() { return {Kind::newGame, 0, 0}; }      // "Game", then "New"
    static HumanInput aboutAndClose() { return {Kind::about, 0, 0}; }  // Ctrl+A, then Enter
};

// Queues what a person does for `input`; the message loop then takes it as one input.
void queueHumanInput(const HumanInput& input);

// A scripted player for the human seat. Its choices depend only on the game
// record, what is on the board and the generator it is given.
class ScriptedHuman {
public:
    ScriptedHuman(Strategy strategy, std::mt19937_64& random) : strategy(strategy), random(random) {}

    // The next input while the game waits for the human.
    HumanInput nextInput();
    int answerBox(std::string_view text, platform::BoxButtons buttons);
    // A round was dealt: plans are stale and patience starts again.
    void roundDealt();

    // Inputs after which a passive or greedy player stops the round anyway:
    // two such players against computer seats that never stop would otherwise
    // exchange and pass for ever.
    static constexpr int patience = 40;

private:
    HumanInput randomInput();
    HumanInput passiveInput();
    HumanInput greedyInput();
    bool planBestExchange();
    HumanInput tapControl(int controlId);
    std::uint64_t below(std::uint64_t bound) { return random() % bound; }

    Strategy strategy;
    std::mt19937_64& random;
    int plannedTaps[3] = {};
    int plannedCount = 0;
    int plannedNext = 0;
    int lastTapped = 0;
    int inputsThisRound = 0;
};

// Empty when the game record is sound after an input, else what is wrong.
// `livesBefore` holds the lives after the previous input of the same game
// (all 4 right after "New").
std::string soundnessProblem(const std::int16_t (&livesBefore)[5]);

// The rules of a settlement, checked with values computed here from the cards
// alone. Fed every deal, computer move, settlement and game-over box of a run;
// each call answers empty when the rules hold, else the rule that broke, the
// seats and the values.
class SettlementCheck {
public:
    std::string roundDealt();
    void computerMoved();
    std::string settled(bool scored);
    std::string gameOverBox(std::string_view text);

private:
    enum class Outcome { none, goesOn, humanLoses, humanWins };
    void noteThreeAces();

    std::int16_t livesAtDeal[5] = {};
    bool threeAcesHeld = false;  // some seat has held three aces this round
    Outcome expected = Outcome::none;
};

// Trace lines.
std::string jsonString(std::string_view text);
std::string shuffleJson(int seconds);
std::string snapshotJson(const char* at, const std::string& extraFields, std::int64_t pauseUnits);

}  // namespace sim
