// The browser program: the game on the web back end. The page starts it once
// it holds the tab's lock and shows the ending when it returns. Beside the
// board the page tells what happened and shows the board in words; the
// computer seats play the level chosen on the page when each game starts.
#include "ai/TableLevel.h"
#include "app/Program.h"
#include "app/TableAccount.h"
#include "model/GameEvents.h"
#include "model/GameState.h"
#include "platform/Web.h"

namespace {

platform::web::TableWords tableInWords(bool pausing)
{
    return {describeTable(pausing), describeHand(), game.gameRunning != 0};
}

// A number the program does not know plays classic, as the desktop's default.
void takeChosenLevel()
{
    const bool expert = platform::web::chosenLevel() == static_cast<int>(TableLevel::expert);
    setTableLevel(expert ? TableLevel::expert : TableLevel::classic);
    platform::web::tellLevel(static_cast<int>(tableLevel()));
}

}  // namespace

int main()
{
    platform::web::install();
    platform::web::setTableDescriber(tableInWords);
    tellTableNews(platform::web::tellNews);
    gameWatcher.newGame = takeChosenLevel;
    platform::exitProcess(programEntry());
    return 0;
}
