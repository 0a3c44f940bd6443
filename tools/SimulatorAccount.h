// zarta-sim's --account: every line What happened shows, in order, hints
// included, told by the same code that feeds the desktop panel and the page.
#pragma once

#include <string>

namespace sim {

// Opens the file and has the game's account told into it; false, with the
// reason on standard error, when it cannot be written. An empty path does nothing.
bool openAccount(const std::string& path);
// A marker line before each game's first line.
void markNewGame(long number);
// The review R would tell of the round just over, as the next is dealt:
// once a round, and only for a round with a move of the human's. The
// game's review is told once it is over, before the next game's marker.
void reviewLastRound();
// Closes the file; false when some of it could not be written.
bool closeAccount();

}  // namespace sim
