// What the scripted human and the checks read off the board and the cards
// beyond the game's own records: whether a control is shown, whether a card
// record holds a real card.
#pragma once

#include "model/CardRecord.h"
#include "platform/Platform.h"
#include "ui/Controls.h"

namespace sim {

inline bool visible(int controlId)
{
    const platform::Handle control = controlHandle(controlId);
    return control != 0 && platform::isWindowVisible(control);
}

inline bool isRealCard(const CardRecord& card)
{
    return card.rank >= 7 && card.rank <= 14 && card.suit >= 1 && card.suit <= 4;
}

}  // namespace sim
