// Classification of a computer seat's hand by suit and by rank.
#pragma once

#include "model/GameState.h"

// How many of the three cards share the attribute: none, exactly two, or all three.
enum class Group : std::int32_t { none = 0, pair = 2, three = 3 };

struct GroupResult {
    Group group;
    int card;  // hand position 0..2 of one card of the group; 0 when there is none
};

// Seats 2..4 only; any other seat has no group. The turn engine records the
// card positions in suitGroupCard / rankGroupCard.
[[nodiscard]] GroupResult suitGroups(const GameState& state, Seat seat);
[[nodiscard]] GroupResult rankGroups(const GameState& state, Seat seat);

// Position (0..2) of the smallest of three point values, the first of equal ones.
[[nodiscard]] int lowestCardIndex(int points0, int points1, int points2);
