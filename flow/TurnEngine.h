// The turn loop and the human's moves.
#pragma once

#include "model/GameState.h"
#include "model/Move.h"
#include "platform/Platform.h"

// Flips the selection flag of a card control (hand flags by position, table
// flags by table position) and redraws all cards.
void toggleSelection(int controlId, platform::Handle boardWindow);
void executeExchange(Seat seat);
void runTurns(platform::Handle boardWindow);
// A computer seat's turn up to its move: the hand analysis, the decision
// with its bookkeeping, the exchange's cards selected and the thinking pause.
// The caller carries out the move returned.
[[nodiscard]] Move decideComputerTurn(Seat seat);

// The human's sequences, run by the board's command dispatch.
void cardTapSequence(int controlId, platform::Handle boardWindow);
void stopSequence(platform::Handle boardWindow);
void passSequence(platform::Handle boardWindow);
