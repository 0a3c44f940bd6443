// Who loses the round, the reveal with score bubbles, lives, the end of the
// game and the deal of the next round.
#include "flow/Settlement.h"

#include "flow/Dealing.h"
#include "flow/TurnEngine.h"
#include "model/Deck.h"
#include "model/GameEvents.h"
#include "model/GameState.h"
#include "ui/Controls.h"
#include "ui/Drawing.h"
#include "ui/ImageTables.h"

namespace {

constexpr HandValue lowestSearchStart = 99.0;  // above every hand value

bool inPlayWithValue(Seat seat)
{
    return game.lives[seat] > 0 && game.handValue[seat] > 0.0;
}

void dealNextRound(platform::Handle boardWindow)
{
    resetHands(false);
    showCardControls(0);
    game.threeAcesFlag = 0;
    game.firstTurnOfRound = 1;
    game.dealerChoicePending = 1;
    game.roundClosing = 0;
    game.stopCalled = 0;
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        game.roundLosers[seat] = 0;
        game.handValue[seat] = 0.0;
    }
    game.dealerSeat = nextLiveSeat(game.dealerSeat);
    game.currentSeat = game.dealerSeat;
    showCardControls(0);
    requestRepaint(boardWindow);
    shuffleDeck();
    dealRound(game.currentSeat, boardWindow);
    if (gameWatcher.dealt)
        gameWatcher.dealt();
    showCardControls({1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    requestRepaint(boardWindow);
    game.currentSeat = nextLiveSeat(game.currentSeat);
}

}  // namespace

int findRoundLosers()
{
    int result = 0;
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        game.roundWinners[seat] = 0;
        game.roundLosers[seat] = 0;
    }
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        bool best = true;
        for (Seat other = 1; other <= seatCount; ++other) {
            if (other != seat && game.handValue[seat] < game.handValue[other])
                best = false;
        }
        if (best) {
            game.roundWinners[seat] = 1;
            result = losersFound;
        }
    }
    const HandValue* value = game.handValue;
    if (value[1] == value[2] && value[2] == value[3] && value[3] == value[4])
        result = allHandsEqual;
    if (result != allHandsEqual) {
        HandValue lowest = lowestSearchStart;
        for (Seat seat = 1; seat <= seatCount; ++seat) {
            if (inPlayWithValue(seat) && game.handValue[seat] <= lowest)
                lowest = game.handValue[seat];
        }
        for (Seat seat = 1; seat <= seatCount; ++seat) {
            if (inPlayWithValue(seat) && game.handValue[seat] <= lowest)
                game.roundLosers[seat] = 1;
        }
    }
    // Three aces: everyone without a best hand loses.
    if (game.threeAcesFlag) {
        for (Seat seat = 1; seat <= seatCount; ++seat) {
            if (!game.roundWinners[seat])
                game.roundLosers[seat] = 1;
        }
    }
    return result;
}

int settleRound(int scoring, platform::Handle boardWindow)
{
    showStopPass(0, 0);
    requestRepaint(boardWindow);
    if (scoring == 0 && gameWatcher.settling)
        gameWatcher.settling(0);
    if (scoring != 0) {
        showCardControls(1);
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
            gameWatcher.settling(1);
        const bool humanLost = game.lives[seatSouth] == 0;
        const bool humanWon = !humanLost && game.lives[seatWest] == 0 && game.lives[seatNorth] == 0 &&
                              game.lives[seatEast] == 0;
        pause(pauseRoundResult);
        if (humanLost || humanWon) {
            platform::messageBox(boardWindow, humanLost ? "You Lose..." : "You Win...", "Game Over",
                                 platform::BoxButtons::ok);
            game.gameRunning = 0;
        }
    }
    if (!game.gameRunning)
        return 0;
    dealNextRound(boardWindow);
    return 0;
}
