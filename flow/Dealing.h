// The dealer draw and the deal of every round, with the dealer's choice.
#pragma once

#include "model/GameState.h"
#include "platform/Platform.h"
#include "ui/DealAnimation.h"

// Starts a round once its dealer is set: the round flags cleared, the deck
// shuffled and dealt with the dealer's choice, the table and the human's
// cards shown and the turn given to the seat after the dealer.
void startRound(platform::Handle boardWindow);
void dealerDraw(platform::Handle boardWindow);
[[nodiscard]] Seat chooseDealer();
void dealRound(Seat startingSeat, platform::Handle boardWindow);

// Shuffles for the game's deal (model/Deck.h): as described, with the local
// time's seconds and the platform's generator; returns the seconds read.
int shuffleFromPlatform();

// The answer of the dealer's box as the choice: No exchanges; Yes keeps, and
// so does 0, a box ended by the window's close while the process ends.
[[nodiscard]] DealerChoice dealerChoiceOf(int answer);

// Who answers "Keep this cards?": the human by a box, a computer seat at the table's level.
enum class Chooser { computer, human };
DealerChoice askDealerChoice(Seat seat, Chooser chooser, platform::Handle boardWindow);
[[nodiscard]] DealerChoice computerKeepsHand(Seat seat);
