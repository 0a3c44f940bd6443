// Shuffling, and the two other maintenance operations on the game record.
#pragma once

#include "model/GameState.h"

#include <cstdint>

// The seedable generator a shuffle draws from; the caller's (the game's is
// the platform's).
struct ShuffleGenerator {
    void (*seed)(std::uint32_t seed);
    std::uint32_t (*next)();  // the next non-negative output
};

// Refills the deck with a permutation of the catalogue, the generator seeded
// with `seconds`, the local time's seconds (0 to 59).
void shuffleDeck(int seconds, const ShuffleGenerator& generator);

// Whether resetting the hands also gives every seat its 4 lives back.
enum class Lives { keep, refill };

// Turns every hand into card backs and clears the finished and passed flags.
void resetHands(Lives lives);

// Clears the three hand and three table selection flags (of the game unless handed a copy).
void clearSelections(GameState& state = game);
