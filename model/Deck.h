// Shuffling, and the two other maintenance operations on the game record.
#pragma once

#include "model/GameState.h"

#include <cstdint>
#include <optional>
#include <string_view>

// The seedable generator a shuffle draws from; the caller's (the game's is
// the platform's).
struct ShuffleGenerator {
    void (*seed)(std::uint32_t seed);
    std::uint32_t (*next)();  // the next non-negative output
};

// Refills the deck with a permutation of the catalogue, the generator seeded
// with `seconds`, the local time's seconds (0 to 59).
void shuffleDeck(int seconds, const ShuffleGenerator& generator);

// How a game's decks are shuffled. described: every shuffle seeds the
// platform's generator with the clock's seconds, so the two shuffles of a new
// game often give one deck and only 60 decks exist; shuffled: one 64-bit seed
// a game, and every deck a full, unbiased shuffle from it.
enum class DealKind { described, shuffled };

// The deal of the games that start from now on (the default is described).
void setDealKind(DealKind kind);
[[nodiscard]] DealKind dealKind();
// "described" or "shuffled", as options and traces write it.
[[nodiscard]] const char* dealKindName(DealKind kind);
[[nodiscard]] std::optional<DealKind> dealKindNamed(std::string_view name);

// A new game of the shuffled deal: its generator seeded once.
void seedShuffledDeal(std::uint64_t seed);
// Refills the deck with a uniformly random permutation of the catalogue from
// the game's generator; `seconds` is only reported to the watcher.
void shuffleDeckFully(int seconds);

// Whether resetting the hands also gives every seat its 4 lives back.
enum class Lives { keep, refill };

// Turns every hand into card backs and clears the finished and passed flags.
void resetHands(Lives lives);

// Clears the three hand and three table selection flags (of the game unless handed a copy).
void clearSelections(GameState& state = game);
