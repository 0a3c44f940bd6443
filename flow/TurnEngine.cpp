// The turn loop, the exchange routine shared by the human and the computer
// seats, and the human's tap, Stop and Pass sequences.
#include "flow/TurnEngine.h"

#include "ai/HandAnalysis.h"
#include "ai/MoveDecision.h"
#include "flow/Settlement.h"
#include "flow/TurnOrder.h"
#include "model/Deck.h"
#include "model/GameEvents.h"
#include "model/HandEvaluation.h"
#include "model/InternalError.h"
#include "resources/BoardIds.h"
#include "ui/Controls.h"
#include "ui/Drawing.h"

namespace {

bool allSeatsFinished()
{
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        if (game.finishedFlags[seat] == 0)
            return false;
    }
    return true;
}

void finishAllSeats()
{
    for (Seat seat = 1; seat <= seatCount; ++seat)
        game.finishedFlags[seat] = 1;
}

bool allSet(const std::int32_t (&flags)[3])
{
    return flags[0] == 1 && flags[1] == 1 && flags[2] == 1;
}

int highestSelected(const std::int32_t (&flags)[3])
{
    for (int position = 2; position >= 0; --position) {
        if (flags[position] == 1)
            return position;
    }
    return -1;
}

void afterMove(Seat seat)
{
    clearSelections();
    evaluateHand(game.currentSeat);
    if (seat == seatSouth && game.stopCalled)
        game.finishedFlags[seatSouth] = 1;  // an exchange after a Stop is the human's last turn
    game.currentSeat = nextLiveSeat(game.currentSeat);
}

void offerHumanButtons()
{
    if (game.firstTurnOfRound)
        offerButtons(Buttons::passOnly);
    else if (game.roundClosing)
        offerButtons(Buttons::stopOnly);
    else
        offerButtons(Buttons::stopAndPass);
}

void storeBookkeeping(Seat seat, const DecisionBookkeeping& after)
{
    game.passedFlags[seat] = after.passed;
    game.passCount[seat] = after.passCount;
    game.finishedFlags[seat] = after.finished;
    game.stopCalled = after.stopCalled;
    game.roundClosing = after.roundClosing;
}

// Leaves the cards of an exchange selected, as a human's taps would, on a
// record whose selections are clear.
void selectExchangeCards(const ComputerMove& decision)
{
    if (decision.move == Move::exchangeAll) {
        for (std::int32_t& selected : game.tableSelected)
            selected = 1;
    } else if (decision.move == Move::exchangeOne) {
        game.handSelected[decision.handCard] = 1;
        game.tableSelected[decision.tableCard] = 1;
    } else {
        return;
    }
    redrawAllCards();
}

void playComputerSeat(platform::Handle boardWindow)
{
    const Seat seat = game.currentSeat;
    offerButtons(Buttons::none);
    requestRepaint(boardWindow);
    game.aiFirstTurn = game.firstTurnOfRound ? 1 : 0;
    const Move move = decideComputerTurn(seat);
    switch (move) {
    case Move::exchangeOne:
    case Move::exchangeAll:
        executeExchange(game.currentSeat);
        clearSelections();
        break;
    case Move::stop:
        game.finishedFlags[seat] = 1;
        flashIndicator(Indicator::stop, seat, boardWindow);
        game.stopCalled = 1;
        game.currentSeat = nextLiveSeat(game.currentSeat);
        break;
    case Move::pass:
        game.passedFlags[seat] = 1;
        flashIndicator(Indicator::pass, seat, boardWindow);
        game.passCount[seat] += 1;
        game.currentSeat = nextLiveSeat(game.currentSeat);
        break;
    case Move::none:
        break;  // no change: the same seat is asked again
    }
    game.firstTurnOfRound = 0;
    if (gameWatcher.computerMoved)
        gameWatcher.computerMoved(seat, move);
}

}  // namespace

Move decideComputerTurn(Seat seat)
{
    const HandShape shape{suitGroups(game, seat), rankGroups(game, seat)};
    game.suitGroupCard = shape.suit.card;
    game.rankGroupCard = shape.rank.card;
    clearSelections();
    if (seat < seatWest || seat > seatEast)
        return Move::none;
    // Recorded before deciding: a hand of 31 or three aces closes the round, which the decision reads.
    evaluateHand(seat);
    const ComputerMove decision = chooseComputerMove(game, seat, shape);
    storeBookkeeping(seat, decision.after);
    selectExchangeCards(decision);
    pause(pauseThinking);
    return decision.move;
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
    bool exchanged = false;
    if (allSet(game.tableSelected) || allSet(game.handSelected)) {
        for (int position = 0; position < cardsPerHand; ++position)
            game.tableBeforeExchange[position] = game.TableCards[position];
        for (int position = 0; position < cardsPerHand; ++position) {
            game.TableCards[position] = game.hands[seat][position];
            game.hands[seat][position] = game.tableBeforeExchange[position];
        }
        if (gameWatcher.exchanged)
            gameWatcher.exchanged(seat, -1, -1);
        afterMove(seat);
        exchanged = true;
    }
    const int hand = highestSelected(game.handSelected);
    const int table = highestSelected(game.tableSelected);
    if (hand >= 0 && table >= 0) {
        game.tableBeforeExchange[table] = game.TableCards[table];
        game.TableCards[table] = game.hands[seat][hand];
        game.hands[seat][hand] = game.tableBeforeExchange[table];
        if (gameWatcher.exchanged)
            gameWatcher.exchanged(seat, hand, table);
        afterMove(seat);
        exchanged = true;
    }
    redrawAllCards();
    if (!exchanged)
        return;
    // The mover, not the new current seat: 31 or three aces ends the round for everyone.
    const Evaluation code = evaluateHandCode(seat);
    if (code == Evaluation::threeAces) {
        finishAllSeats();
        game.threeAcesFlag = 1;
    } else if (code == Evaluation::thirtyOne) {
        finishAllSeats();
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
        if (allSeatsFinished()) {
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
    drawStopButton(ButtonLook::pressed);
    pause(pausePressedButton);
    game.stopCalled = 1;
    game.finishedFlags[seatSouth] = 1;
    drawStopButton(ButtonLook::normal);
    evaluateHand(game.currentSeat);
    offerButtons(Buttons::none);
    requestRepaint(boardWindow);
    if (gameWatcher.humanMoved)
        gameWatcher.humanMoved(Move::stop);
    flashIndicator(Indicator::stop, game.currentSeat, boardWindow);
    clearSelections();
    game.currentSeat = nextLiveSeat(game.currentSeat);
    runTurns(boardWindow);
}

void passSequence(platform::Handle boardWindow)
{
    drawPassButton(ButtonLook::pressed);
    pause(pausePressedButton);
    drawPassButton(ButtonLook::normal);
    if (game.stopCalled)
        game.finishedFlags[game.currentSeat] = 1;  // a Pass after a Stop is the human's last turn
    offerButtons(Buttons::none);
    requestRepaint(boardWindow);
    if (gameWatcher.humanMoved)
        gameWatcher.humanMoved(Move::pass);
    flashIndicator(Indicator::pass, game.currentSeat, boardWindow);
    evaluateHand(game.currentSeat);
    clearSelections();
    game.currentSeat = nextLiveSeat(game.currentSeat);
    runTurns(boardWindow);
}
