// The turn loop and the human's moves.
#pragma once

#include "model/GameState.h"
#include "model/Move.h"
#include "platform/Platform.h"

Seat nextLiveSeat(Seat seat);
// Flips the selection flag of a card control (hand flags by position, table
// flags by table position) and redraws all cards. Returns 1.
int toggleSelection(int controlId, platform::Handle boardWindow);
int executeExchange(Seat seat);
int runTurns(platform::Handle boardWindow);
// A computer seat's turn up to its move: the hand analysis, the decision
// with its bookkeeping, the exchange's cards selected and the thinking pause.
// The caller carries out the move returned.
Move decideComputerTurn(Seat seat, platform::Handle boardWindow);

// The human's sequences, run by the board's command dispatch.
void cardTapSequence(int controlId, platform::Handle boardWindow);
void stopSequence(platform::Handle boardWindow);
void passSequence(platform::Handle boardWindow);
