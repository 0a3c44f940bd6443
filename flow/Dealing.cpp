// The dealer draw and the deal of every round, with the dealer's choice.
#include "flow/Dealing.h"

#include "ai/TableLevel.h"
#include "ai/TableMemory.h"
#include "model/TurnOrder.h"
#include "model/Deck.h"
#include "model/GameEvents.h"
#include "model/HandEvaluation.h"
#include "model/InternalError.h"
#include "resources/BoardIds.h"
#include "ui/Controls.h"
#include "ui/DealAnimation.h"
#include "ui/Drawing.h"

namespace {

constexpr int middlePosition = 1;

// Cursor and pending seats of the deal in progress; they live for one deal only.
struct DealState {
    int dealCursor;
    bool toBeDealt[5];
};

void dealCard(DealState& deal, CardRecord& target)
{
    if (deal.dealCursor >= deckSize)
        stopOnInternalError("dealRound", "the deal has handed out all 32 cards");
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
        const Chooser chooser = seat == seatSouth ? Chooser::human : Chooser::computer;
        if (askDealerChoice(seat, chooser, boardWindow) == DealerChoice::exchange) {
            // The first three cards leave play for the round; only the dealer saw them.
            rememberLaidAside(seat, game.hands[seat]);
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

void startRound(platform::Handle boardWindow)
{
    game.currentSeat = game.dealerSeat;
    game.dealerChoicePending = 1;
    game.firstTurnOfRound = 1;
    game.stopCalled = 0;
    game.roundClosing = 0;
    game.threeAcesFlag = 0;
    rememberNewRound(shuffleFromPlatform());
    offerButtons(Buttons::none);
    requestRepaint(boardWindow);
    hideAllCards();
    dealRound(game.dealerSeat, boardWindow);
    if (gameWatcher.dealt)
        gameWatcher.dealt();
    showTableAndHumanCards();
    requestRepaint(boardWindow);
    game.currentSeat = nextLiveSeat(game.dealerSeat);
}

void dealerDraw(platform::Handle boardWindow)
{
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        showCardControl(ids::firstControlOfSeat(seat) + middlePosition);
        game.hands[seat][middlePosition] = game.Deck[seat - 1];
    }
    requestRepaint(boardWindow);
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

void dealRound(Seat startingSeat, platform::Handle boardWindow)
{
    resetHands(Lives::keep);
    hideAllCards();
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
    for (int dealt = 1;; ++dealt) {
        if (dealt > seatCount)
            stopOnInternalError("dealRound", "a seat still waits for its cards after four hands were dealt");
        dealOneSeat(deal, seat, boardWindow);
        if (!anySeatToBeDealt(deal))
            break;
        seat = nextLiveSeat(seat);
    }
    for (int position = 0; position < cardsPerHand; ++position) {
        dealCard(deal, game.TableCards[position]);
        drawCardControl(ids::controlTable1 + position);
    }
}

int shuffleFromPlatform()
{
    const int seconds = platform::localSeconds();
    if (dealKind() == DealKind::shuffled)
        shuffleDeckFully(seconds);
    else
        shuffleDeck(seconds, {platform::seedRandom, platform::nextRandom});
    return seconds;
}

DealerChoice dealerChoiceOf(int answer)
{
    return answer == platform::answerNo ? DealerChoice::exchange : DealerChoice::keep;
}

DealerChoice askDealerChoice(Seat seat, Chooser chooser, platform::Handle boardWindow)
{
    showSecondHand(seat, boardWindow);
    DealerChoice answer = DealerChoice::keep;
    if (chooser == Chooser::human)
        answer = dealerChoiceOf(
            platform::messageBox(boardWindow, "Keep this cards?", "Player choice:", platform::BoxButtons::yesNo));
    else
        answer = computerKeepsHand(seat);
    moveSecondHand(seat, answer, boardWindow);
    if (gameWatcher.dealerDecided)
        gameWatcher.dealerDecided(seat, answer == DealerChoice::keep);
    return answer;
}

DealerChoice computerKeepsHand(Seat seat)
{
    const HandValue value = evaluateHand(seat);
    return computerKeeps(game, seat, value) ? DealerChoice::keep : DealerChoice::exchange;
}
