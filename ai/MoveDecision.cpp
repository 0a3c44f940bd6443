// The computer seat's move: one search chosen by the shape of its hand, the
// pass bookkeeping, then the resolution rules R1..R6. No card moves here; an
// exchange is left pre-selected through the same flags a human's taps set, so
// the turn engine carries it out with the human's exchange routine.
#include "ai/MoveDecision.h"

#include "ai/HandAnalysis.h"
#include "app/BoardIds.h"
#include "flow/TurnEngine.h"
#include "model/Deck.h"
#include "model/HandEvaluation.h"
#include "ui/Drawing.h"

namespace {

// A one-suit hand that no table card improves: at or above this it is finished...
constexpr HandValue oneSuitFinishedFrom = 27.0;
// ...at or below this it runs the pass step; a hand worth 26 does neither.
constexpr HandValue oneSuitPassUpTo = 25.0;
// The pass step that reaches this count finishes the seat and stops the round.
constexpr int passesBeforeStop = 3;

// Working values of one decision; nothing here outlives the call.
struct Decision {
    Seat seat = 0;
    HandValue ownValue = 0.0;
    HandValue tableValue = 0.0;
    HandValue bestValue = 0.0;
    bool suitExchange = false;
    bool rankExchange = false;
    int suitHandCard = 0;
    int suitTableCard = 0;
    int rankHandCard = 0;
    int rankTableCard = 0;
    int result = movePass;

    const CardRecord& hand(int position) const { return game.hands[seat][position]; }
    bool foundExchange() const { return suitExchange || rankExchange; }
};

const CardRecord& tableCard(int position)
{
    return game.TableCards[position];
}

HandValue valueOfPoints(int points)
{
    return static_cast<HandValue>(points);
}

int lowestHandCard(const Decision& d)
{
    return lowestCardIndex(d.hand(0).points, d.hand(1).points, d.hand(2).points);
}

int groupSuit(const Decision& d)
{
    return d.hand(game.suitGroupCard).suit;
}

int pairRank(const Decision& d)
{
    return d.hand(game.rankGroupCard).rank;
}

// The hand position whose rank is not the pair rank.
int oddRankCard(const Decision& d)
{
    int odd = 0;
    for (int h = 0; h < cardsPerHand; ++h)
        if (d.hand(h).rank != pairRank(d))
            odd = h;
    return odd;
}

void runPassStep(Seat seat)
{
    game.passedFlags[seat] = 1;
    game.passCount[seat] += 1;
    if (game.passCount[seat] >= passesBeforeStop) {
        game.finishedFlags[seat] = 1;
        game.stopCalled = 1;
    }
}

// ---- Searches, one per hand shape -------------------------------------

void searchMixedHand(Decision& d)
{
    // Strict comparison: of equal sums the first in scanning order stays.
    for (int h = 0; h < cardsPerHand; ++h) {
        for (int t = 0; t < cardsPerHand; ++t) {
            const HandValue sum = valueOfPoints(d.hand(h).points + tableCard(t).points);
            if (tableCard(t).suit == d.hand(h).suit && sum > d.bestValue) {
                d.bestValue = sum;
                d.suitTableCard = t;
                d.suitHandCard = lowestHandCard(d);
                d.suitExchange = true;
            }
        }
    }
    if (d.suitExchange)
        return;

    // Here the last match wins, and the card given away is still the lowest,
    // even when it is the card that matched.
    for (int h = 0; h < cardsPerHand; ++h) {
        for (int t = 0; t < cardsPerHand; ++t) {
            if (tableCard(t).rank == d.hand(h).rank) {
                d.rankTableCard = t;
                d.rankHandCard = lowestHandCard(d);
                d.rankExchange = true;
            }
        }
    }
}

void searchRankPairHand(Decision& d)
{
    const int odd = oddRankCard(d);
    d.rankHandCard = odd;
    d.suitHandCard = odd;

    for (int t = 0; t < cardsPerHand; ++t) {
        if (tableCard(t).rank == pairRank(d)) {
            d.rankTableCard = t;
            d.rankExchange = true;
        }
    }
    if (!d.rankExchange) {
        for (int t = 0; t < cardsPerHand; ++t) {
            for (int h = 0; h < cardsPerHand; ++h) {
                if (h != odd && tableCard(t).suit == d.hand(h).suit) {
                    d.suitTableCard = t;
                    d.suitExchange = true;
                }
            }
        }
    }
    if (!d.foundExchange())
        runPassStep(d.seat);
}

void searchThreeOfARankHand(Decision& d)
{
    // Only a table of 31 or three aces beats three of a rank, and R5 then
    // takes the whole table.
    if (d.tableValue > d.ownValue)
        return;
    if (game.aiFirstTurn) {
        game.passedFlags[d.seat] = 1;
    } else {
        game.finishedFlags[d.seat] = 1;
        game.stopCalled = 1;
    }
}

void searchSuitPairHand(Decision& d)
{
    const int suit = groupSuit(d);
    int odd = 0;
    for (int h = 0; h < cardsPerHand; ++h) {
        if (d.hand(h).suit != suit)
            odd = h;
        else
            d.bestValue += valueOfPoints(d.hand(h).points);
    }
    d.suitHandCard = odd;
    d.rankHandCard = odd;

    for (int t = 0; t < cardsPerHand; ++t) {
        if (tableCard(t).suit == suit) {
            d.suitTableCard = t;
            d.suitExchange = true;
        }
    }
    if (!d.suitExchange) {
        for (int t = 0; t < cardsPerHand; ++t) {
            for (int h = 0; h < cardsPerHand; ++h) {
                if (h != odd && tableCard(t).rank == d.hand(h).rank) {
                    d.rankTableCard = t;
                    d.rankExchange = true;
                }
            }
        }
    }
    if (!d.foundExchange())
        runPassStep(d.seat);
}

void searchDoublePairHand(Decision& d)
{
    const int suit = groupSuit(d);
    const int rank = pairRank(d);
    d.rankHandCard = oddRankCard(d);
    for (int h = 0; h < cardsPerHand; ++h) {
        if (d.hand(h).suit != suit)
            d.suitHandCard = h;
        else
            d.bestValue += valueOfPoints(d.hand(h).points);
    }

    for (int t = 0; t < cardsPerHand; ++t) {
        if (tableCard(t).rank == rank) {
            d.rankTableCard = t;
            d.rankExchange = true;
        }
    }
    if (!d.rankExchange) {
        for (int t = 0; t < cardsPerHand; ++t) {
            if (tableCard(t).suit == suit) {
                d.suitTableCard = t;
                d.suitExchange = true;
            }
        }
    }
    if (!d.foundExchange())
        runPassStep(d.seat);
}

void searchOneSuitHand(Decision& d)
{
    const int suit = groupSuit(d);
    d.suitHandCard = lowestHandCard(d);
    int keptPoints = 0;
    for (int h = 0; h < cardsPerHand; ++h)
        if (h != d.suitHandCard)
            keptPoints += d.hand(h).points;
    d.bestValue = valueOfPoints(keptPoints);

    for (int t = 0; t < cardsPerHand; ++t) {
        if (tableCard(t).suit == suit && d.bestValue + valueOfPoints(tableCard(t).points) > d.ownValue) {
            d.suitTableCard = t;
            d.suitExchange = true;
        }
    }
    if (d.suitExchange)
        return;
    if (d.ownValue >= oneSuitFinishedFrom)
        game.finishedFlags[d.seat] = 1;
    else if (d.ownValue <= oneSuitPassUpTo)
        runPassStep(d.seat);
}

void runSearch(Decision& d, int suitResult, int rankResult)
{
    if (suitResult == groupNone && rankResult == groupNone)
        searchMixedHand(d);
    else if (suitResult == groupNone && rankResult == groupPair)
        searchRankPairHand(d);
    else if (suitResult == groupNone && rankResult == groupThree)
        searchThreeOfARankHand(d);
    else if (suitResult == groupPair && rankResult == groupNone)
        searchSuitPairHand(d);
    else if (suitResult == groupPair && rankResult == groupPair)
        searchDoublePairHand(d);
    else if (suitResult == groupThree && rankResult == groupNone)
        searchOneSuitHand(d);
}

// ---- Resolution ---------------------------------------------------------

bool isTableWorthTakingWhole(HandValue tableValue)
{
    return tableValue == valueThirtyOne || tableValue == valueThreeOfARank || tableValue == valueThreeAces;
}

void resolve(Decision& d, platform::Handle boardWindow)
{
    const Seat seat = d.seat;
    const bool found = d.foundExchange();

    if (found)  // R1
        d.result = moveExchangeOne;
    if (game.finishedFlags[seat] && !found) {  // R2
        d.result = moveStop;
        game.stopCalled = 1;
        game.roundClosing = 1;
    }
    if (game.passedFlags[seat] && !found) {  // R3
        d.result = movePass;
        if (game.roundClosing) {
            d.result = moveStop;
            game.stopCalled = 1;
        }
    }
    if (game.stopCalled)  // R4: after any Stop, this move is the seat's last
        game.finishedFlags[seat] = 1;

    if (isTableWorthTakingWhole(d.tableValue)) {  // R5: overrides everything above
        d.result = moveExchangeAll;
        for (int t = 0; t < cardsPerHand; ++t)
            toggleSelection(ids::controlTable1 + t, boardWindow);
    }

    if (d.result == moveExchangeOne) {  // R6
        const int handCard = d.suitExchange ? d.suitHandCard : d.rankHandCard;
        const int takenCard = d.suitExchange ? d.suitTableCard : d.rankTableCard;
        toggleSelection(ids::firstControlOfSeat(seat) + handCard, boardWindow);
        toggleSelection(ids::controlTable1 + takenCard, boardWindow);
    }
}

}  // namespace

int chooseComputerMove(Seat seat, int suitResult, int rankResult, platform::Handle boardWindow)
{
    clearSelections();
    // Only the computer seats decide; anything else (the human, or a seat
    // number that has no hand) gets no move code.
    if (seat < seatWest || seat > seatEast)
        return 0;

    Decision d;
    d.seat = seat;
    d.ownValue = evaluateHand(seat);
    d.tableValue = handValueOf(seatTable);

    runSearch(d, suitResult, rankResult);
    resolve(d, boardWindow);

    pause(pauseThinking);
    return d.result;
}
