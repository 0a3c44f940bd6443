// A computer seat's turn as changes to a game record, whoever decides it:
// the turn engine plays it on the game with the screen's steps as hooks, the
// expert's play-outs on copies with no screen.
#pragma once

#include "ai/MoveDecision.h"
#include "model/TurnRules.h"

// Who decides a computer seat's move: the described player, or the expert.
using ComputerDecider = ComputerMove (*)(const GameState& state, Seat seat, const HandShape& shape);

// Before a decision: the hand's shape recorded, the selections cleared and
// the seat's hand valued. A seat that is no computer seat gets no shape.
HandShape prepareComputerDecision(GameState& state, Seat seat);
// After a decision: its bookkeeping stored and the exchange's cards selected.
void applyComputerDecision(GameState& state, Seat seat, const ComputerMove& decision);
// The three steps with the decider's call between them, then the screen's
// thinking step; returns the move decided (none for a seat that is no
// computer seat).
Move decideComputerMove(GameState& state, Seat seat, ComputerDecider decide, const TurnScreen& screen);
// Carries out the decided move, the turn handed on.
void carryOutComputerMove(GameState& state, Seat seat, Move move, const TurnScreen& screen);

// A whole computer turn: the first-turn copy for the decision, the
// decision and the move carried out.
Move playComputerTurn(GameState& state, Seat seat, ComputerDecider decide, const TurnScreen& screen);

// The bookkeeping any move leaves by the rules every seat shares: a Stop
// closes the round, and after any Stop this move is the seat's last.
[[nodiscard]] DecisionBookkeeping bookkeepingOf(const GameState& state, Seat seat, Move move);
