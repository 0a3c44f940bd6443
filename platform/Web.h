// The web back end: the device screen on the page's <canvas>, pointer and
// key input from the page, pauses that sleep through Asyncify.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
// offers "New game" when none does). While the program waits, also the
// keyboard's frame and the selected cards, which the page says as they
// change: a player moving by keys hears one short line, not the board again.
struct TableWords {
    std::string text;
    std::string hand;
    bool gameRunning = false;
    int framedControl = 0;  // the control the frame shows on; 0 when no frame shows
    std::string framed;     // "your queen of hearts", "table card 2, the nine of spades", "Stop"
    std::string selected;   // each selected card so named, a line each; "" when none
};
void setTableDescriber(TableWords (*describe)(bool pausing));

// The computer seats' level and the deal the page's player chose, read as
// each game starts, and the level and deal the program then plays: the
// numbers of a TableLevel and a DealKind (the page learns their names in
// that order from web/PageConstants.cpp).
int chosenLevel();
void tellLevel(int level);
int chosenDeal();
void tellDeal(int deal);

// One line of what happened at the table, with the event it tells of as a
// JSON object, for the page's account and its tests.
void tellNews(const std::string& line, const std::string& eventJson);

// ---- The kept game ----------------------------------------------------------

// The page keeps the running game in the browser's storage so that opening
// the page again builds it again exactly: from its New, what the program
// carried into it from earlier games, then every input the program took (and
// at which of its takes) and every value it read from outside, in order,
// played again at pace 0 up to the wait or pause the page was left in.
enum class GameStart { live, rebuilding };
// Called as a game starts, before anything of it is decided. Live, the page
// keeps the game afresh from `carried` (with the input the program has taken
// but not yet handled); rebuilding, `carried` becomes what the page kept and
// that input is queued again.
GameStart startKeptGame(std::vector<std::uint8_t>& carried);
// What the page kept cannot be this program's: the page starts afresh and says why.
void keptGameUnreadable(const char* why);

// Exit while a game runs: the page asks the player first (and keeps the answer).
bool confirmLeaving();

}  // namespace platform::web
