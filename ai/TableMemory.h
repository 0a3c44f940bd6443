// What every seat at the table has seen of the round beyond the open cards:
// the cards each seat took from the table and still holds, and where, and the dealer's
// first three when it laid them aside (seen by the dealer alone). The turn
// engine and the deal report to it; the expert reads it through a seat's view.
#pragma once

#include "model/GameState.h"
#include "model/Move.h"

#include <cstdint>

// One bit per card of the deck: bit (suit - 1) * 8 + (rank - 7).
using CardSet = std::uint32_t;

[[nodiscard]] CardSet cardBit(const CardRecord& card);  // 0 for a back or an empty place
[[nodiscard]] CardSet cardsOf(const CardRecord (&cards)[cardsPerHand]);

// A seat's last move of the round as the table saw it, with the open record
// it was decided on.
struct SeenMove {
    Move move = Move::none;  // none: no move yet this round
    CardRecord tableBefore[cardsPerHand]{};
    int handCard = 0;  // for one card: the hand and table positions
    int tableCard = 0;
    CardSet given = 0;  // the cards it laid on the table
    std::int32_t passed = 0;
    std::int32_t passCount = 0;
    std::int32_t finished = 0;
    std::uint8_t stopCalled = 0;
    std::uint8_t roundClosing = 0;
    std::uint8_t firstTurn = 0;
};

struct TableMemory {
    CardRecord heldAt[5][cardsPerHand];  // by seat and hand position: a card it took from the table; zero where unknown
    CardSet laidAside;  // the dealer's first three, when it exchanged them
    Seat laidAsideBy;
    SeenMove lastMove[5];      // by seat
    std::int32_t movesBy[5];   // moves each seat made this round
    std::int32_t seconds;  // the round's shuffle seconds
    std::int32_t round;    // rounds dealt since the program started
};

extern TableMemory tableMemory;

// A new round: nothing seen yet.
void rememberNewRound(int seconds);
void rememberLaidAside(Seat dealer, const CardRecord (&hand)[cardsPerHand]);
// An exchange by `seat`, from the records before and after it.
void rememberExchange(const GameState& before, const GameState& after, Seat seat);
// Any seat's move, from the records before and after it.
void rememberMove(const GameState& before, const GameState& after, Seat seat, Move move);
