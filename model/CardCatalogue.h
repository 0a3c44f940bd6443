// The 32 cards, grouped by suit 1..4 and within a suit ordered ace, 7, 8, 9,
// 10, jack, queen, king. The shuffle picks cards by row number, so the decks
// it makes depend on this order.
#pragma once

#include "model/CardRecord.h"

extern const CardRecord CardCatalogue[32];

// Card backs: all four image fields hold the back of the orientation, points, suit and rank 0.
CardRecord uprightBack();
CardRecord sideBack();
