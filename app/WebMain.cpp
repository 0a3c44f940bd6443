// The browser program: the game on the web back end. The page starts it once
// it holds the tab's lock and shows the ending when it returns. Beside the
// board the page tells what happened and shows the board in words.
#include "app/Program.h"
#include "app/TableAccount.h"
#include "model/GameState.h"
#include "platform/Web.h"

namespace {

platform::web::TableWords tableInWords(bool pausing)
{
    return {describeTable(pausing), describeHand(), game.gameRunning != 0};
}

}  // namespace

int main()
{
    platform::web::install();
    platform::web::setTableDescriber(tableInWords);
    tellTableNews(platform::web::tellNews);
    platform::exitProcess(programEntry());
    return 0;
}
