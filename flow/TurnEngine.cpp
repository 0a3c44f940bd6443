// The turn loop, the exchange routine shared by the human and the computer
// seats, and the human's tap, Stop and Pass sequences.
#include "flow/TurnEngine.h"

#include "ai/ComputerTurn.h"
#include "ai/TableLevel.h"
#include "ai/TableMemory.h"
#include "flow/Settlement.h"
#include "model/TurnOrder.h"
#include "model/Deck.h"
#include "model/GameEvents.h"
#include "model/HandEvaluation.h"
#include "model/InternalError.h"
#include "resources/BoardIds.h"
#include "ui/Controls.h"
#include "ui/Drawing.h"

namespace {

void offerHumanButtons()
{
    if (game.firstTurnOfRound)
        offerButtons(Buttons::passOnly);
    else if (game.roundClosing)
        offerButtons(Buttons::stopOnly);
    else
        offerButtons(Buttons::stopAndPass);
}

void redrawCardsOf(void*)
{
    redrawAllCards();
}

void flashCallOf(void* boardWindow, Move move, Seat seat)
{
    flashIndicator(move == Move::stop ? Indicator::stop : Indicator::pass, seat,
                   *static_cast<platform::Handle*>(boardWindow));
}

void showThinking(void*, Move move)
{
    if (move == Move::exchangeOne || move == Move::exchangeAll)
        redrawAllCards();
    pause(pauseThinking);
}

TurnScreen boardScreen(platform::Handle& boardWindow)
{
    return TurnScreen{&boardWindow, redrawCardsOf, flashCallOf, showThinking, &gameWatcher};
}

void playComputerSeat(platform::Handle boardWindow)
{
    offerButtons(Buttons::none);
    requestRepaint(boardWindow);
    const Seat seat = game.currentSeat;
    const GameState before = game;
    const Move move = playComputerTurn(game, seat, tableDecider(), boardScreen(boardWindow));
    rememberMove(before, game, seat, move);
}

}  // namespace

Move decideComputerTurn(Seat seat)
{
    platform::Handle noWindow{};
    return decideComputerMove(game, seat, tableDecider(), boardScreen(noWindow));
}

void toggleSelection(int controlId, platform::Handle)
{
    std::int32_t* flag = nullptr;
    if (controlId >= ids::controlTable1 && controlId <= ids::controlTable3) {
        flag = &game.tableSelected[controlId - ids::controlTable1];
    } else if (controlId >= ids::controlSouth1 && controlId <= ids::controlLastCard) {
        flag = &game.handSelected[(controlId - ids::controlSouth1) % 3];
    }
    if (flag)
        *flag = *flag == 0 ? 1 : 0;
    redrawAllCards();
}

void executeExchange(Seat seat)
{
    const GameState before = game;
    platform::Handle noWindow{};
    if (exchangeSelectedCards(game, seat, boardScreen(noWindow))) {
        int moved = 0;
        for (int position = 0; position < cardsPerHand; ++position)
            moved += sameCard(before.hands[seat][position], game.hands[seat][position]) ? 0 : 1;
        rememberMove(before, game, seat, moved == cardsPerHand ? Move::exchangeAll : Move::exchangeOne);
    }
}

void runTurns(platform::Handle boardWindow)
{
    // The human always has lives during a game, so the turn comes back to it
    // after at most three computer moves, unless a round ends first. A round
    // costs a life unless it is dealt again, and four equal hands are rare.
    constexpr int mostComputerMovesInARow = seatCount - 1;
    constexpr int mostRoundsWithoutTheHuman = 64;
    int computerMovesInARow = 0;
    int roundsWithoutTheHuman = 0;
    while (game.gameRunning) {
        if (allSeatsFinished(game)) {
            if (++roundsWithoutTheHuman > mostRoundsWithoutTheHuman)
                stopOnInternalError("runTurns", "64 rounds were settled without the human getting a turn");
            game.roundClosing = 1;
            const RoundOutcome outcome = findRoundLosers();
            settleRound(outcome == RoundOutcome::allHandsEqual ? Scoring::redeal : Scoring::score, boardWindow);
            computerMovesInARow = 0;
            if (!game.gameRunning)
                break;
        }
        if (game.currentSeat == seatSouth) {
            offerHumanButtons();
            requestRepaint(boardWindow);
            return;
        }
        if (++computerMovesInARow > mostComputerMovesInARow)
            stopOnInternalError("runTurns",
                                "a computer seat is to move again, yet the turn never came back to the human");
        playComputerSeat(boardWindow);
    }
    hideAllCards();
}

void cardTapSequence(int controlId, platform::Handle boardWindow)
{
    toggleSelection(controlId, boardWindow);
    drawCardControl(controlId);
    executeExchange(game.currentSeat);
    runTurns(boardWindow);
}

void stopSequence(platform::Handle boardWindow)
{
    const GameState before = game;
    drawStopButton(ButtonLook::pressed);
    pause(pausePressedButton);
    humanSaysStop(game);
    drawStopButton(ButtonLook::normal);
    offerButtons(Buttons::none);
    requestRepaint(boardWindow);
    if (gameWatcher.humanMoved)
        gameWatcher.humanMoved(Move::stop);
    flashIndicator(Indicator::stop, game.currentSeat, boardWindow);
    endHumanCall(game);
    rememberMove(before, game, seatSouth, Move::stop);
    runTurns(boardWindow);
}

void passSequence(platform::Handle boardWindow)
{
    const GameState before = game;
    drawPassButton(ButtonLook::pressed);
    pause(pausePressedButton);
    drawPassButton(ButtonLook::normal);
    humanPasses(game);
    offerButtons(Buttons::none);
    requestRepaint(boardWindow);
    if (gameWatcher.humanMoved)
        gameWatcher.humanMoved(Move::pass);
    flashIndicator(Indicator::pass, game.currentSeat, boardWindow);
    endHumanCall(game);
    rememberMove(before, game, seatSouth, Move::pass);
    runTurns(boardWindow);
}
