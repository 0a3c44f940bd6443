// Shuffling, and the two other maintenance operations on the game record.
#pragma once

// Refills the deck with a permutation of the catalogue, the generator seeded
// with the local time's seconds.
void shuffleDeck();

// Whether resetting the hands also gives every seat its 4 lives back.
enum class Lives { keep, refill };

// Turns every hand into card backs and clears the finished and passed flags.
void resetHands(Lives lives);

// Clears the three hand and three table selection flags.
void clearSelections();
