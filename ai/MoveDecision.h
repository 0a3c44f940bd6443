// The computer seat's choice of move, as a function of the game record: it
// changes nothing, draws nothing and waits for nothing. The turn engine
// stores the bookkeeping, selects the cards of an exchange and carries it out.
#pragma once

#include "ai/HandAnalysis.h"
#include "model/GameState.h"
#include "model/Move.h"

// The seat's and the round's flags as the decision leaves them.
struct DecisionBookkeeping {
    std::int32_t passed;
    std::int32_t passCount;
    std::int32_t finished;
    std::uint8_t stopCalled;
    std::uint8_t roundClosing;
};

struct ComputerMove {
    Move move = Move::none;
    int handCard = 0;   // exchangeOne: the hand position given away
    int tableCard = 0;  // exchangeOne: the table position taken
    DecisionBookkeeping after{};
};

// The shape of the seat's hand as the analysis found it.
struct HandShape {
    GroupResult suit;
    GroupResult rank;
};

// Decides the move of `seat` (2..4) from the record, its hand's shape and
// `aiFirstTurn`. Any other seat gets Move::none.
[[nodiscard]] ComputerMove chooseComputerMove(const GameState& state, Seat seat, const HandShape& shape);
