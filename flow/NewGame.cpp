#include "flow/NewGame.h"

#include "flow/Dealing.h"
#include "flow/TurnEngine.h"
#include "model/Deck.h"
#include "model/GameEvents.h"
#include "platform/Platform.h"
#include "ui/Controls.h"

void newGameSequence(platform::Handle boardWindow)
{
    if (gameWatcher.newGame)
        gameWatcher.newGame();
    resetHands(Lives::refill);
    hideAllCards();
    clearSelections();
    if (dealKind() == DealKind::shuffled)
        seedShuffledDeal(platform::gameSeed());
    shuffleFromPlatform();
    dealerDraw(boardWindow);
    game.dealerSeat = chooseDealer();
    if (gameWatcher.dealerChosen)
        gameWatcher.dealerChosen(game.dealerSeat);
    game.gameRunning = 1;
    // The round's shuffle reads the same clock: within one second it deals the dealer-draw cards first.
    startRound(boardWindow);
    runTurns(boardWindow);
}
