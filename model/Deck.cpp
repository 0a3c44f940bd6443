#include "model/Deck.h"

#include "model/CardCatalogue.h"
#include "model/GameEvents.h"
#include "model/GameState.h"
#include "model/InternalError.h"

#include <cstring>

void shuffleDeck(int seconds, const ShuffleGenerator& generator)
{
    std::memset(game.Deck, 0, sizeof game.Deck);
    // Seeded with the seconds alone: two shuffles in the same second deal the same deck.
    generator.seed(static_cast<std::uint32_t>(seconds));
    // Whether each catalogue row is in the deck: the same answer as comparing
    // its sideFace with every deck entry, since no two cards share one and
    // empty entries hold 0, which no card has.
    bool dealt[deckSize] = {};
    // About 130 draws fill the deck; a generator that never yields some row would spin for ever.
    constexpr long mostDraws = 1000000;
    long draws = 0;
    for (int position = 0; position < deckSize; ++position) {
        for (;;) {
            if (++draws > mostDraws)
                stopOnInternalError("shuffleDeck", "a million draws left a position of the deck empty");
            const auto row = static_cast<int>(generator.next() % deckSize);
            if (!dealt[row]) {
                dealt[row] = true;
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

void clearSelections(GameState& state)
{
    for (int position = 0; position < 3; ++position) {
        state.handSelected[position] = 0;
        state.tableSelected[position] = 0;
    }
}
