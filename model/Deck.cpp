#include "model/Deck.h"

#include "model/CardCatalogue.h"
#include "model/GameEvents.h"
#include "model/GameState.h"
#include "model/InternalError.h"
#include "platform/Platform.h"

#include <cstring>

void shuffleDeck()
{
    std::memset(game.Deck, 0, sizeof game.Deck);
    // Seeded with the seconds alone: two shuffles in the same second deal the same deck.
    const int seconds = platform::localSeconds();
    platform::seedRandom(static_cast<std::uint32_t>(seconds));
    // About 130 draws fill the deck; a generator that never yields some row would spin for ever.
    constexpr long mostDraws = 1000000;
    long draws = 0;
    for (int position = 0; position < deckSize; ++position) {
        for (;;) {
            if (++draws > mostDraws)
                stopOnInternalError("shuffleDeck",
                                    "a million draws left position " + std::to_string(position) + " of the deck empty");
            const auto row = static_cast<int>(platform::nextRandom() % deckSize);
            bool alreadyDealt = false;
            // Empty positions hold sideFace 0, which no catalogue card has.
            for (const CardRecord& card : game.Deck) {
                if (card.sideFace == CardCatalogue[row].sideFace) {
                    alreadyDealt = true;
                    break;
                }
            }
            if (!alreadyDealt) {
                game.Deck[position] = CardCatalogue[row];
                break;
            }
        }
    }
    if (gameWatcher.shuffled)
        gameWatcher.shuffled(seconds);
}

void resetHands(Lives lives)
{
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        const bool upright = seat == seatSouth || seat == seatNorth;
        for (CardRecord& card : game.hands[seat])
            card = upright ? uprightBack() : sideBack();
    }
    if (lives == Lives::refill) {
        for (Seat seat = 1; seat <= seatCount; ++seat)
            game.lives[seat] = 4;
    }
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        game.finishedFlags[seat] = 0;
        game.passedFlags[seat] = 0;
    }
}

void clearSelections()
{
    for (int position = 0; position < 3; ++position) {
        game.handSelected[position] = 0;
        game.tableSelected[position] = 0;
    }
}
