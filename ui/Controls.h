// The board's controls as drawing and the game sequences see them: their
// handles, which start-up fills in, and showing or hiding them.
#pragma once

#include "platform/Platform.h"
#include "resources/BoardIds.h"

struct ControlHandles {
    platform::Handle cards[ids::cardControlCount];  // 11111..11125 in id order
    platform::Handle stop;
    platform::Handle pass;
    platform::Handle secondHand[3];  // the dealer's second hand while it exists
};

extern ControlHandles boardControls;

// Handle of a card control by id 11111..11125, or of Stop / Pass; 0 otherwise.
platform::Handle controlHandle(int controlId);

// Flags in the order 11111..11125: 0 hides, 1 shows. Returns 1.
int showCardControls(const int (&flags)[15]);
int showCardControls(int flag);  // the same flag for all fifteen
int showStopPass(int stopFlag, int passFlag);
void showCardControl(int controlId);
