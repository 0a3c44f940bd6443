// Points in the game that a tool may watch, such as the simulator writing its
// trace or the page telling what happened. The game only reports; a watcher
// must not change the record (at New the page sets the table's level, which
// no decision has read yet).
#pragma once

#include "model/GameState.h"
#include "model/Move.h"

struct GameWatcher {
    void (*newGame)() = nullptr;                              // New: nothing dealt yet, no decision made
    void (*shuffled)(int seconds) = nullptr;                  // the deck has just been filled
    void (*dealt)() = nullptr;                                // dealRound has returned
    void (*computerMoved)(Seat seat, Move move) = nullptr;    // the turn loop has acted on a computer move
    void (*settling)(bool scored) = nullptr;                  // lives taken (true), or the round is dealt again (false)
    void (*dealerChosen)(Seat dealer) = nullptr;              // the dealer draw is over; hands[seat][1] hold its cards
    void (*dealerDecided)(Seat dealer, bool kept) = nullptr;  // kept its first three cards, or took the next three
    // Cards have changed places: hand and table position, or -1 and -1 for the whole hand.
    void (*exchanged)(Seat seat, int handPosition, int tablePosition) = nullptr;
    void (*humanMoved)(Move move) = nullptr;  // the human passed or said Stop
    void (*gameOver)(bool won) = nullptr;     // the human won or lost, before the game-over box
};

extern GameWatcher gameWatcher;
