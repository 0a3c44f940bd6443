// Which computer player the three computer seats are: the described one
// (classic, the default) or the expert. Chosen once, before a game starts.
#pragma once

#include "ai/ComputerTurn.h"

#include <optional>
#include <string_view>

enum class TableLevel { classic, expert };

void setTableLevel(TableLevel level);
[[nodiscard]] TableLevel tableLevel();
// "classic" or "expert", as options and traces write it.
[[nodiscard]] const char* tableLevelName(TableLevel level);
[[nodiscard]] std::optional<TableLevel> tableLevelNamed(std::string_view name);

// A tool may time each expert decision (the game never reads a clock here).
struct DecisionTimer {
    void (*started)() = nullptr;
    void (*ended)() = nullptr;
};
void setDecisionTimer(DecisionTimer timer);
// Times one decision by the timer set, for as long as it lives.
struct TimedDecision {
    TimedDecision();
    ~TimedDecision();
    TimedDecision(const TimedDecision&) = delete;
    TimedDecision& operator=(const TimedDecision&) = delete;
};

// The computer seats' decider at the table's level.
[[nodiscard]] ComputerDecider tableDecider();
// The dealer's keep at the table's level: true keeps the first three cards.
[[nodiscard]] bool computerKeeps(const GameState& state, Seat seat, HandValue value);
