// The scripted player of the human seat: its strategies, the inputs it
// makes and how they are queued as a person's taps and keys.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>
#include <string_view>

namespace sim {

enum class Strategy { random, passive, greedy, hint };

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
    HumanInput hintInput();
    // The next tap of a plan under way, or of a selection to undo; false for none.
    bool goOnWithPlan(HumanInput& input);
    void planTaps(std::initializer_list<int> taps);
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

}  // namespace sim
