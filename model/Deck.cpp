#include "model/Deck.h"

#include "model/CardCatalogue.h"
#include "model/GameEvents.h"
#include "model/GameState.h"
#include "model/InternalError.h"

#include <cstring>
#include <utility>

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

namespace {

DealKind chosenDeal = DealKind::described;

// SplitMix64: plain 64-bit integer steps, so every compiler and the page draw alike.
std::uint64_t dealState = 0;

std::uint64_t nextDealDraw()
{
    std::uint64_t z = (dealState += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// A draw from 0 to bound - 1 with no value likelier than another: draws in
// the short last stretch of the 64-bit range are thrown back.
std::uint64_t drawBelow(std::uint64_t bound)
{
    const std::uint64_t unfair = (0 - bound) % bound;  // 2^64 mod bound
    for (;;) {
        const std::uint64_t draw = nextDealDraw();
        if (draw >= unfair)
            return draw % bound;
    }
}

}  // namespace

void setDealKind(DealKind kind)
{
    chosenDeal = kind;
}

DealKind dealKind()
{
    return chosenDeal;
}

const char* dealKindName(DealKind kind)
{
    return kind == DealKind::shuffled ? "shuffled" : "described";
}

std::optional<DealKind> dealKindNamed(std::string_view name)
{
    if (name == "described")
        return DealKind::described;
    if (name == "shuffled")
        return DealKind::shuffled;
    return std::nullopt;
}

void seedShuffledDeal(std::uint64_t seed)
{
    dealState = seed;
}

void shuffleDeckFully(int seconds)
{
    // Fisher-Yates from the catalogue's order.
    for (int position = 0; position < deckSize; ++position)
        game.Deck[position] = CardCatalogue[position];
    for (int last = deckSize - 1; last > 0; --last) {
        const auto other = static_cast<int>(drawBelow(static_cast<std::uint64_t>(last) + 1));
        std::swap(game.Deck[last], game.Deck[other]);
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
