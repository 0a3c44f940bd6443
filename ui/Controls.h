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
[[nodiscard]] platform::Handle controlHandle(int controlId);
// A card control, Stop or Pass that a player can see (and so tap) now.
[[nodiscard]] bool isControlShown(int controlId);

// The card controls shown in the patterns the game uses; each sets all fifteen.
void hideAllCards();
void showAllCards();
void showTableAndHumanCards();
void showCardControl(int controlId);

// Which of Stop and Pass the human is offered; the others are hidden.
enum class Buttons { none, passOnly, stopOnly, stopAndPass };
void offerButtons(Buttons buttons);
