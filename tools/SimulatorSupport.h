// What the simulator, the fuzzer and the whole-game tests share: the scripted
// human strategies, the soundness check, and the trace's JSON.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <random>
#include <string>

namespace sim {

enum class Strategy { random, passive, greedy };

bool parseStrategy(const std::string& name, Strategy& strategy);
const char* strategyName(Strategy strategy);

struct HumanInput {
    enum class Kind { tap, command, about };
    Kind kind;
    int x;  // screen pixels, for a tap
    int y;
    int command;

    static HumanInput tapAt(int x, int y) { return {Kind::tap, x, y, 0}; }
    static HumanInput tapOn(int controlId);  // the centre of a control
    static HumanInput newGame() { return {Kind::command, 0, 0, 40005}; }
    static HumanInput aboutAndClose() { return {Kind::about, 0, 0, 0}; }
};

// The next input of the human seat while the game waits for it.
HumanInput chooseHumanInput(Strategy strategy, std::mt19937_64& random);
int answerBox(Strategy strategy, std::mt19937_64& random, const std::string& text, platform::BoxButtons buttons);

// Empty when the game record is sound after an input, else what is wrong.
// `livesBefore` holds the lives after the previous input of the same game.
std::string soundnessProblem(const std::int16_t (&livesBefore)[5]);

// Trace lines.
std::string jsonString(const std::string& text);
std::string shuffleJson(int seconds);
std::string snapshotJson(const char* at, const std::string& extraFields, std::int64_t pauseUnits);

}  // namespace sim
