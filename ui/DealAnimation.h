// The dealer's second hand: three card backs shown while the dealer chooses,
// then slid toward the table or the dealer's own row.
#pragma once

#include "model/GameState.h"
#include "platform/Platform.h"

// The dealer's answer to "Keep this cards?", as the platform's Yes and No.
enum class DealerChoice { keep = platform::answerYes, exchange = platform::answerNo };

void showSecondHand(Seat seat, platform::Handle boardWindow);
void moveSecondHand(Seat seat, DealerChoice answer, platform::Handle boardWindow);
