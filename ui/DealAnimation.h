// The dealer's second hand: three card backs shown while the dealer chooses,
// then slid toward the table or the dealer's own row.
#pragma once

#include "model/GameState.h"
#include "platform/Platform.h"

void showSecondHand(Seat seat, platform::Handle boardWindow);
void moveSecondHand(Seat seat, int answer, platform::Handle boardWindow);
