// The table in words, for players who cannot follow the board by sight and
// for anyone who missed a computer seat's move: a line for each event of the
// game, and the board as it stands. Only what the board shows a player is
// told: cards that lie open, the human's own hand, and every hand once the
// round's end reveals them.
#pragma once

#include "model/CardNames.h"
#include "model/GameState.h"

#include <string>


// Receives each line with its event as a JSON object (TableAccountJson.h), e.g.
// {"kind":"exchange","seat":2,"took":["Kh"],"left":["9s"],"table":["7c","9s","Ad"]}.
using NewsTeller = void (*)(const std::string& line, const std::string& eventJson);

// Watches the game's events and tells `teller` about each; null stops it.
void tellTableNews(NewsTeller teller);

// The board as it stands: hands, table, lives, whose turn, and while the
// program waits what the human may do and where the keyboard's frame is;
// during a pause, who is playing.
std::string describeTable(bool pausing = false);

// "Your cards: ..." while a game runs and the human's hand lies open, else "".
std::string describeHand();

// The coach's line, told like any event of the game.
void tellHint(const std::string& line);
// The review of a round or a game, told the same way.
void tellReview(const std::string& line);
// "24", "30.5", "three aces".
std::string handValueInWords(HandValue value);
