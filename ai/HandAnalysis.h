// Classification of a computer seat's hand by suit and by rank.
#pragma once

#include "model/GameState.h"

// Group results: 0 all differ, 2 exactly two share, 3 all three share.
constexpr int groupNone = 0;
constexpr int groupPair = 2;
constexpr int groupThree = 3;

// Seats 2..4 only. Each sets suitGroupCard / rankGroupCard of the game record.
int suitGroups(Seat seat);
int rankGroups(Seat seat);

// Position (0..2) of the smallest of three point values, the first of equal ones.
int lowestCardIndex(int points0, int points1, int points2);
