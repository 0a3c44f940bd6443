#include "ai/SeatView.h"

#include <algorithm>

namespace {

std::uint32_t mix(std::uint32_t hash, std::uint32_t value)
{
    // FNV-1a over the value's four bytes: the same on every compiler.
    for (int shift = 0; shift < 32; shift += 8) {
        hash ^= (value >> shift) & 0xffu;
        hash *= 16777619u;
    }
    return hash;
}

}  // namespace

SeatView viewOf(const GameState& state, const TableMemory& memory, Seat seat, bool classicSeats)
{
    SeatView view;
    view.seat = seat;
    for (int position = 0; position < cardsPerHand; ++position) {
        view.hand[position] = state.hands[seat][position];
        if (!state.dealerChoicePending)
            view.table[position] = state.TableCards[position];
    }
    view.currentSeat = state.currentSeat;
    view.dealerSeat = state.dealerSeat;
    view.dealerChoicePending = state.dealerChoicePending;
    view.firstTurnOfRound = state.firstTurnOfRound;
    view.stopCalled = state.stopCalled;
    view.roundClosing = state.roundClosing;
    for (Seat other = 1; other <= seatCount; ++other) {
        view.lives[other] = state.lives[other];
        view.calls.passes[other] = memory.calls.passes[other];
        view.calls.passed[other] = memory.calls.passed[other];
        view.calls.finished[other] = memory.calls.finished[other] != 0 || state.lives[other] == 0 ? 1 : 0;
        if (other != seat) {
            for (int position = 0; position < cardsPerHand; ++position)
                view.heldAt[other][position] = memory.heldAt[other][position];
            view.lastMove[other] = memory.lastMove[other];
        }
    }
    view.ownMoves = memory.movesBy[seat];
    if (!state.dealerChoicePending)
        view.tableShown = std::max(1, timesShown(memory, cardsOf(view.table)));
    view.classicSeats = classicSeats;
    if (memory.laidAsideBy == seat)
        view.outOfPlay = memory.laidAside;

    std::uint32_t seed = mix(mix(2166136261u, static_cast<std::uint32_t>(memory.seconds)),
                             static_cast<std::uint32_t>(memory.round));
    seed = mix(seed, static_cast<std::uint32_t>(seat));
    seed = mix(seed, cardsOf(view.hand));
    seed = mix(seed, cardsOf(view.table));
    for (Seat other = 1; other <= seatCount; ++other)
        seed = mix(seed, static_cast<std::uint32_t>(view.calls.passes[other] * 4 + view.calls.finished[other]));
    for (Seat other = 1; other <= seatCount; ++other)
        seed = mix(seed, cardsOf(view.heldAt[other]));
    view.seed = seed;
    return view;
}
