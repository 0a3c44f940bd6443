// "New", the dealer draw and the deal of every round.
#include "flow/Dealing.h"

#include "flow/TurnEngine.h"
#include "model/Deck.h"
#include "model/GameEvents.h"
#include "model/HandEvaluation.h"
#include "resources/BoardIds.h"
#include "ui/Controls.h"
#include "ui/DealAnimation.h"
#include "ui/Drawing.h"

namespace {

constexpr HandValue keepThreshold = 15.0;
constexpr int middlePosition = 1;

// Cursor and pending seats of the deal in progress; they live for one deal only.
struct DealState {
    int dealCursor;
    bool toBeDealt[5];
};

void dealCard(DealState& deal, CardRecord& target)
{
    target = game.Deck[deal.dealCursor];
    ++deal.dealCursor;
}

void dealOneSeat(DealState& deal, Seat seat, platform::Handle boardWindow)
{
    const int firstControl = ids::firstControlOfSeat(seat);
    if (game.dealerChoicePending) {
        for (int position = 0; position < cardsPerHand; ++position) {
            if (seat == seatSouth)
                showCardControl(firstControl + position);
            dealCard(deal, game.hands[seat][position]);
            drawCardControl(firstControl + position);
        }
        const int answer = askDealerChoice(seat, seat == seatSouth, boardWindow);
        if (answer == dealerExchanges) {
            // The first three cards leave play for the round.
            for (int position = 0; position < cardsPerHand; ++position) {
                dealCard(deal, game.hands[seat][position]);
                drawCardControl(firstControl + position);
            }
        }
    } else {
        for (int position = 0; position < cardsPerHand; ++position) {
            dealCard(deal, game.hands[seat][position]);
            drawCardControl(firstControl + position);
        }
    }
    game.dealerChoicePending = 0;
    deal.toBeDealt[seat] = false;
    evaluateHand(seat);
}

bool anySeatToBeDealt(const DealState& deal)
{
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        if (deal.toBeDealt[seat])
            return true;
    }
    return false;
}

}  // namespace

void newGameSequence(platform::Handle boardWindow)
{
    resetHands(true);
    showCardControls(0);
    clearSelections();
    shuffleDeck();
    dealerDraw(boardWindow);
    const Seat dealer = chooseDealer();
    game.currentSeat = dealer;
    game.dealerSeat = dealer;
    game.gameRunning = 1;
    game.dealerChoicePending = 1;
    game.firstTurnOfRound = 1;
    game.stopCalled = 0;
    game.roundClosing = 0;
    game.threeAcesFlag = 0;
    // Seeded from the same clock: within one second this deals the dealer-draw cards first.
    shuffleDeck();
    showStopPass(0, 0);
    requestRepaint(boardWindow);
    showCardControls(0);
    dealRound(game.currentSeat, boardWindow);
    if (gameWatcher.dealt)
        gameWatcher.dealt();
    showCardControls({1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    game.currentSeat = nextLiveSeat(game.dealerSeat);
    runTurns(boardWindow);
}

int dealerDraw(platform::Handle boardWindow)
{
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        showCardControl(ids::firstControlOfSeat(seat) + middlePosition);
        game.hands[seat][middlePosition] = game.Deck[seat - 1];
    }
    requestRepaint(boardWindow);
    return 1;
}

Seat chooseDealer()
{
    int bestPoints = 0;
    int bestRank = 0;
    Seat dealer = 0;
    // Both tests accept equality: of equal ranks the later seat deals.
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        const CardRecord& card = game.hands[seat][middlePosition];
        if (card.points >= bestPoints && card.rank >= bestRank) {
            bestPoints = card.points;
            bestRank = card.rank;
            dealer = seat;
        }
    }
    pause(pauseThinking);
    return dealer;
}

int dealRound(Seat startingSeat, platform::Handle boardWindow)
{
    resetHands(false);
    showCardControls(0);
    DealState deal{};
    for (Seat seat = 1; seat <= seatCount; ++seat)
        deal.toBeDealt[seat] = true;
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        if (game.lives[seat] == 0) {
            deal.toBeDealt[seat] = false;
            game.finishedFlags[seat] = 1;  // out of the game: finished in every round
        }
    }
    Seat seat = startingSeat;
    for (;;) {
        dealOneSeat(deal, seat, boardWindow);
        if (!anySeatToBeDealt(deal))
            break;
        seat = nextLiveSeat(seat);
    }
    for (int position = 0; position < cardsPerHand; ++position) {
        dealCard(deal, game.TableCards[position]);
        drawCardControl(ids::controlTable1 + position);
    }
    return 1;
}

int askDealerChoice(Seat seat, bool askHuman, platform::Handle boardWindow)
{
    showSecondHand(seat, boardWindow);
    int answer = 0;
    if (askHuman)
        answer = platform::messageBox(boardWindow, "Keep this cards?", "Player choice:", platform::BoxButtons::yesNo);
    else
        answer = computerKeepsHand(seat);
    moveSecondHand(seat, answer, boardWindow);
    return answer;
}

int computerKeepsHand(Seat seat)
{
    return evaluateHand(seat) < keepThreshold ? dealerExchanges : dealerKeeps;
}
