// What one seat can know: its own cards, the open table, the round's public
// record and the table's memory as that seat saw it. It holds no card of
// another seat's hand and nothing of the deck's order, so whatever decides
// from a view cannot read a hidden card; and each seat's calls only as the
// table showed them, so no hidden reason behind a call reaches it either.
#pragma once

#include "ai/TableMemory.h"
#include "model/GameState.h"

#include <cstdint>

struct SeatView {
    Seat seat = 0;
    CardRecord hand[cardsPerHand]{};
    CardRecord table[cardsPerHand]{};  // not yet dealt while the dealer's choice is pending
    Seat currentSeat = 0;
    Seat dealerSeat = 0;
    std::uint8_t dealerChoicePending = 0;
    std::uint8_t firstTurnOfRound = 0;
    // A hidden Stop (the described player's pass step overruled by taking the
    // whole table) shows at once: the human is offered Stop alone.
    std::uint8_t stopCalled = 0;
    std::uint8_t roundClosing = 0;
    std::int16_t lives[5]{};
    ShownCalls calls{};  // a seat out of the game counts as finished
    CardRecord heldAt[5][cardsPerHand]{};  // cards each other seat took from the table, where they lie
    CardSet outOfPlay = 0;   // cards this seat laid aside as dealer: no hand holds them
    SeenMove lastMove[5]{};  // each other seat's last move this round
    std::int32_t ownMoves = 0;
    std::int32_t tableShown = 0;  // moves of this round after which the open table lay open, as dealt counting one
    bool classicSeats = false;  // the other computer seats are the described player
    std::uint32_t seed = 0;  // from the round's shuffle seconds, its number and the view itself

    friend bool operator==(const SeatView&, const SeatView&) = default;
};

[[nodiscard]] SeatView viewOf(const GameState& state, const TableMemory& memory, Seat seat, bool classicSeats);
