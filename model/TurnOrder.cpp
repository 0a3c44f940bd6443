#include "model/TurnOrder.h"

#include "model/InternalError.h"

Seat nextLiveSeat(Seat seat, const GameState& state)
{
    // The seat given comes last, after a full circle; some seat always has lives during a game.
    for (int step = 0; step < seatCount; ++step) {
        seat = seat == seatCount ? 1 : seat + 1;
        if (state.lives[seat] != 0)
            return seat;
    }
    stopOnInternalError("nextLiveSeat", "no seat has lives, so the turn cannot pass on");
}
