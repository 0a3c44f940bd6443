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

// Each seat's calls as the table showed them. The described player's own
// bookkeeping also counts passes no bubble shows (a Stop from its pass step,
// a pass step overruled by taking the whole table), so whatever decides from
// a seat's view reads these, never the record's flags.
struct ShownCalls {
    std::int32_t passes[5];    // Pass bubbles since the program started
    std::uint8_t passed[5];    // a Pass this round
    std::uint8_t finished[5];  // said Stop this round, or moved after one: no further turn

    friend bool operator==(const ShownCalls&, const ShownCalls&) = default;
};

// A seat's last move of the round as the table saw it, with the open record
// it was decided on.
struct SeenMove {
    Move move = Move::none;  // none: no move yet this round
    CardRecord tableBefore[cardsPerHand]{};
    int handCard = 0;  // for one card: the hand and table positions
    int tableCard = 0;
    CardSet given = 0;  // the cards it laid on the table
    // Its calls as shown before the move.
    std::uint8_t passed = 0;
    std::int32_t passes = 0;
    std::uint8_t finished = 0;
    std::uint8_t stopCalled = 0;
    std::uint8_t roundClosing = 0;
    std::uint8_t firstTurn = 0;

    friend bool operator==(const SeenMove&, const SeenMove&) = default;
};

constexpr int tablesRemembered = 48;

struct TableMemory {
    CardRecord heldAt[5][cardsPerHand];  // by seat and hand position: a card it took from the table; zero where unknown
    CardSet laidAside;  // the dealer's first three, when it exchanged them
    Seat laidAsideBy;
    SeenMove lastMove[5];      // by seat
    std::int32_t movesBy[5];   // moves each seat made this round
    ShownCalls calls;          // its passes outlive the round, as the described player's count does
    std::uint8_t stopShown;    // a Stop was said this round
    // The open tables of the round, each with the moves after which it lay
    // open: a table that keeps coming back, or stays while everyone passes,
    // is a round going in circles.
    CardSet tables[tablesRemembered];
    std::uint8_t tableShown[tablesRemembered];
    std::int32_t tableCount;
    std::int32_t seconds;  // the round's shuffle seconds
    std::int32_t round;    // rounds dealt since the program started
};

extern TableMemory tableMemory;

// A new process or game record: nothing seen at all.
void forgetTable();
// A new round: nothing seen yet but the passes of earlier rounds.
void rememberNewRound(int seconds);
void rememberLaidAside(Seat dealer, const CardRecord (&hand)[cardsPerHand]);
// An exchange by `seat`, from the records before and after it.
void rememberExchange(const GameState& before, const GameState& after, Seat seat);
// Any seat's move, from the records before and after it.
void rememberMove(const GameState& before, const GameState& after, Seat seat, Move move);

// Told of each move of the human's seat before the memory takes it in, so
// the memory is as the human saw it when deciding: the record before the
// move, the move, and for one card the hand and table positions.
using HumanMoveWatcher = void (*)(const GameState& before, const TableMemory& memory, Move move, int handCard,
                                  int tableCard);
void watchHumanMoves(HumanMoveWatcher watcher);
// After how many moves of this round the open `table` lay open (0 for none).
[[nodiscard]] int timesShown(const TableMemory& memory, CardSet table);
