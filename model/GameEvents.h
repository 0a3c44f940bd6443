// Points in the game that a tool may watch, such as the simulator writing its
// trace. The game only reports; a watcher must not change the record.
#pragma once

#include "model/GameState.h"
#include "model/Move.h"

struct GameWatcher {
    void (*shuffled)(int seconds) = nullptr;                // the deck has just been filled
    void (*dealt)() = nullptr;                              // dealRound has returned
    void (*computerMoved)(Seat seat, Move move) = nullptr;  // the turn loop has acted on a computer move
    void (*settling)(bool scored) = nullptr;                // lives taken (true), or the round is dealt again (false)
};

extern GameWatcher gameWatcher;
