// Who moves next: the order of the seats round the table, skipping those out
// of the game. Every sequence of the game hands the turn on through here.
#pragma once

#include "model/GameState.h"

// The next seat after `seat` in the order 1, 2, 3, 4, 1 that has lives.
[[nodiscard]] Seat nextLiveSeat(Seat seat, const GameState& state = game);
