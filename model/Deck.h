// Shuffling, and the two other maintenance operations on the game record.
#pragma once

// Refills the deck with a permutation of the catalogue, the generator seeded
// with the local time's seconds. Returns 1.
int shuffleDeck();

// Turns every hand into card backs and clears the finished and passed
// flags; refills every seat's lives to 4 for a new game. Returns 1.
int resetHands(bool newGame);

// Clears the three hand and three table selection flags. Returns 1.
int clearSelections();
