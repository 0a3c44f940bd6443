// The round's end as the player sees it: the reveal with score bubbles,
// lives, the end of the game and the deal of the next round.
#include "flow/Settlement.h"

#include "flow/Dealing.h"
#include "model/TurnOrder.h"
#include "model/Deck.h"
#include "model/GameEvents.h"
#include "model/GameState.h"
#include "ui/Controls.h"
#include "ui/Drawing.h"
#include "ui/ImageTables.h"

namespace {

void dealNextRound(platform::Handle boardWindow)
{
    resetHands(Lives::keep);
    hideAllCards();
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        game.roundLosers[seat] = 0;
        game.handValue[seat] = 0.0;
    }
    game.dealerSeat = nextLiveSeat(game.dealerSeat);
    startRound(boardWindow);
}

}  // namespace

void settleRound(Scoring scoring, platform::Handle boardWindow)
{
    offerButtons(Buttons::none);
    requestRepaint(boardWindow);
    if (scoring == Scoring::redeal && gameWatcher.settling)
        gameWatcher.settling(false);
    if (scoring == Scoring::score) {
        showAllCards();
        requestRepaint(boardWindow);
        for (Seat seat = 1; seat <= seatCount; ++seat) {
            const int column = scoreColumn(game.handValue[seat]);
            drawImageAt(BubbleOriginX[seat], BubbleOriginY[seat], boardWindow, ScoreImages[seat][column]);
            if (game.lives[seat] <= 0) {
                game.handValue[seat] = 0.0;
                game.lives[seat] = 0;
            }
        }
        for (Seat seat = 1; seat <= seatCount; ++seat) {
            if (game.roundLosers[seat] && game.lives[seat] > 0)
                game.lives[seat] -= 1;
        }
        if (gameWatcher.settling)
            gameWatcher.settling(true);
        const bool humanLost = game.lives[seatSouth] == 0;
        const bool humanWon =
            !humanLost && game.lives[seatWest] == 0 && game.lives[seatNorth] == 0 && game.lives[seatEast] == 0;
        pause(pauseRoundResult);
        if (humanLost || humanWon) {
            if (gameWatcher.gameOver)
                gameWatcher.gameOver(humanWon);
            platform::messageBox(boardWindow, humanLost ? "You Lose..." : "You Win...", "Game Over",
                                 platform::BoxButtons::ok);
            game.gameRunning = 0;
        }
    }
    if (!game.gameRunning)
        return;
    dealNextRound(boardWindow);
}
