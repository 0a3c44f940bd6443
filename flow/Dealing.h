// New game, the dealer draw and the deal with the dealer's choice.
#pragma once

#include "model/GameState.h"
#include "platform/Platform.h"

constexpr int dealerKeeps = 6;      // the platform's Yes
constexpr int dealerExchanges = 7;  // the platform's No

void newGameSequence(platform::Handle boardWindow);
int dealerDraw(platform::Handle boardWindow);
Seat chooseDealer();
int dealRound(Seat startingSeat, platform::Handle boardWindow);
int askDealerChoice(Seat seat, bool askHuman, platform::Handle boardWindow);
int computerKeepsHand(Seat seat);
