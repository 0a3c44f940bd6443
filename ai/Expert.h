// The expert: every move the seat may make, tried in the same sampled
// worlds and played out to the round's end; the move that least often leaves
// the seat losing a life wins, its side's cost and then the higher final
// hands breaking ties. It decides from a seat's view alone. The coach asks it for the human's seat.
#pragma once

#include "ai/MoveDecision.h"
#include "ai/Playout.h"
#include "ai/SeatView.h"

// One move the expert weighed.
struct ExpertOption {
    PlannedMove planned{};
    HandValue valueAfter = 0.0;  // the seat's hand once the move is made
    int losses = 0;              // play-outs in which the seat lost a life
    int sideCost = 0;            // summed over the play-outs
    int finalValues = 0;         // the seat's final hand values summed, in halves
    int playOuts = 0;            // the worlds it was weighed in
};

struct ExpertAdvice {
    ExpertOption options[12]{};  // every move weighed, each in its own number of the same worlds
    int optionCount = 0;
    ExpertOption best{};
    ExpertOption runnerUp{};  // the best move of another kind; move none when there is none
    int playOuts = 0;         // the best move's
    bool inCircles = false;   // the table came round again: Stop, whatever the play-outs say
};

// A seat decides within its pause: every move in the same 100 worlds. The
// coach, asked once a turn, goes deeper: every move in 50 worlds, then the
// four best in 250 more, where the choice is made.
enum class SearchDepth { seat, coach };

[[nodiscard]] ExpertAdvice adviseMove(const SeatView& view, SearchDepth depth = SearchDepth::seat);

// The open table has lain open after two full turns of every seat in play,
// by exchanges that bring it back or passes that leave it: the round goes in
// circles. Against the described seats the coach then says Stop wherever it may.
[[nodiscard]] bool goesInCircles(const SeatView& view);

struct KeepAdvice {
    bool keep = true;
    HandValue keptValue = 0.0;
    int lossesKeeping = 0;
    int lossesExchanging = 0;
    int playOuts = 0;
};

// The dealer's choice: keep its first three cards or take the next three.
[[nodiscard]] KeepAdvice adviseKeep(const SeatView& view);

// The expert as a computer seat's decider, on the view of its seat built
// from the game and the table's memory; the bookkeeping is the shared rules'.
[[nodiscard]] ComputerMove chooseExpertMove(const GameState& state, Seat seat, const HandShape& shape);
