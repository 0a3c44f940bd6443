// The web back end: the device screen on the page's <canvas>, pointer and
// key input from the page, pauses that sleep through Asyncify.
#pragma once

#include <string>

namespace platform::web {

void install();

// The kinds of input the page queues for the program (it learns these
// numbers from web/PageConstants.cpp at build time).
enum class PageInput { none = 0, tap = 1, key = 2, command = 3 };
// The kinds of place the program tells the page a player may tap, with the
// same numbers on both sides.
enum class SpotKind { control = 0, boxButton = 1, menuButton = 2, popupItem = 3 };

// What the page says beside the board each time the program waits, and at
// the start of each pause: the board in words, the human's cards (told with
// an open box, such as the keep question), and whether a game runs (the page
// offers "New game" when none does).
struct TableWords {
    std::string text;
    std::string hand;
    bool gameRunning = false;
};
void setTableDescriber(TableWords (*describe)(bool pausing));

// The computer seats' level the page's player chose, read as each game
// starts, and the level the program then plays: the number of a TableLevel
// (the page learns their names in that order from web/PageConstants.cpp).
int chosenLevel();
void tellLevel(int level);

// One line of what happened at the table, with the event it tells of as a
// JSON object, for the page's account and its tests.
void tellNews(const std::string& line, const std::string& eventJson);

}  // namespace platform::web
