// The browser program: the game on the web back end. The page starts it once
// it holds the tab's lock and shows the ending when it returns. Beside the
// board the page tells what happened and shows the board in words, with the
// keyboard's frame and the selected cards named as they change; the
// computer seats play the level, and the decks are dealt as, chosen on the
// page when each game starts. The page keeps the running game, and a game it
// rebuilds starts from what its New carried from the games before.
#include "ai/TableLevel.h"
#include "ai/TableMemory.h"
#include "app/Hint.h"
#include "app/KeyboardFocus.h"
#include "app/PlayRecord.h"
#include "app/Program.h"
#include "app/Review.h"
#include "app/Shell.h"
#include "app/Sound.h"
#include "app/TableAccount.h"
#include "model/Deck.h"
#include "model/GameEvents.h"
#include "model/GameState.h"
#include "platform/Web.h"
#include "resources/BoardIds.h"
#include "ui/Controls.h"

#include <cstring>
#include <type_traits>
#include <utility>

namespace {

// A control as the page names it when the frame or a selection reaches it:
// "your queen of hearts", "table card 2, the nine of spades", "Stop".
std::string controlName(int controlId)
{
    const int table = controlId - ids::controlTable1;
    if (table >= 0 && table < cardsPerHand)
        return std::string("table card ") + static_cast<char>('1' + table) + ", " + cardName(game.TableCards[table]);
    const int hand = controlId - ids::controlSouth1;
    if (hand >= 0 && hand < cardsPerHand) {
        std::string name = cardName(game.hands[seatSouth][hand]);
        return name.rfind("the ", 0) == 0 ? name.replace(0, 3, "your") : name;
    }
    if (controlId == ids::controlStop)
        return "Stop";
    if (controlId == ids::controlPass)
        return "Pass";
    return {};
}

platform::web::TableWords tableInWords(bool pausing)
{
    platform::web::TableWords words;
    words.text = describeTable(pausing);
    words.hand = describeHand();
    words.gameRunning = game.gameRunning != 0;
    if (pausing || !game.gameRunning)
        return words;
    if (isFocusFrameShown()) {
        words.framedControl = focusedControl();
        words.framed = controlName(words.framedControl);
    }
    // Selections are the human's only on their turn, as the board's words tell them.
    if (game.currentSeat != seatSouth)
        return words;
    for (const auto& [selected, first] :
         {std::pair{game.handSelected, ids::controlSouth1}, std::pair{game.tableSelected, ids::controlTable1}}) {
        for (int position = 0; position < cardsPerHand; ++position) {
            if (!selected[position])
                continue;
            if (!words.selected.empty())
                words.selected += '\n';
            words.selected += controlName(first + position);
        }
    }
    return words;
}

// What a game takes over from the games before it: the record, whose
// passCount counts across every game, and what the table remembers, whose
// passes and rounds dealt seed the expert's choices. Both are plain records,
// kept as their bytes.
static_assert(std::is_trivially_copyable_v<GameState> && std::is_trivially_copyable_v<TableMemory>);
constexpr std::size_t carriedSize = sizeof game + sizeof tableMemory;

std::vector<std::uint8_t> carriedBytes()
{
    std::vector<std::uint8_t> bytes(carriedSize);
    std::memcpy(bytes.data(), &game, sizeof game);
    std::memcpy(bytes.data() + sizeof game, &tableMemory, sizeof tableMemory);
    return bytes;
}

// A number the program does not know plays classic and the described deal,
// as the desktop's defaults.
void takeChosenTable()
{
    const bool expert = platform::web::chosenLevel() == static_cast<int>(TableLevel::expert);
    setTableLevel(expert ? TableLevel::expert : TableLevel::classic);
    const bool shuffled = platform::web::chosenDeal() == static_cast<int>(DealKind::shuffled);
    setDealKind(shuffled ? DealKind::shuffled : DealKind::described);
    platform::web::tellLevel(static_cast<int>(tableLevel()));
    platform::web::tellDeal(static_cast<int>(dealKind()));
}

void startGame()
{
    std::vector<std::uint8_t> carried = carriedBytes();
    if (platform::web::startKeptGame(carried) == platform::web::GameStart::rebuilding) {
        if (carried.size() == carriedSize) {
            std::memcpy(&game, carried.data(), sizeof game);
            std::memcpy(&tableMemory, carried.data() + sizeof game, sizeof tableMemory);
        } else {
            platform::web::keptGameUnreadable("what it carried is not of this program's size");
        }
    }
    // Each game starts with the keyboard frame, the hint and the buttons of
    // a fresh start, so a game is rebuilt from its New alone. (A tap on no
    // card drops the hint.)
    resetKeyboardFocus();
    followHint(0, shell.boardWindow);
    offerButtons(Buttons::none);
    takeChosenTable();
}

// Exit asks first while a game runs: a page is left more lightly than a window.
bool leavingConfirmed()
{
    return !game.gameRunning || platform::web::confirmLeaving();
}

}  // namespace

int main()
{
    platform::web::install();
    platform::web::setTableDescriber(tableInWords);
    tellTableNews(platform::web::tellNews);
    gameWatcher.newGame = startGame;
    keepPlayRecord();
    keepReview();
    // After the account and the record, whose hooks it calls on to.
    soundGameEvents();
    setExitConfirmation(leavingConfirmed);
    platform::exitProcess(programEntry());
    return 0;
}
