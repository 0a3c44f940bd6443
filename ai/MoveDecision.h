// The computer seat's choice of move.
#pragma once

#include "model/GameState.h"
#include "platform/Platform.h"

constexpr int movePass = 20001;
constexpr int moveStop = 20002;
constexpr int moveExchangeOne = 20003;
constexpr int moveExchangeAll = 20004;

// Decides the move of `seat` (2..4) from its group results. For an exchange
// the cards are left pre-selected for executeExchange. Seat 1 gets 0.
int chooseComputerMove(Seat seat, int suitResult, int rankResult, platform::Handle boardWindow);
