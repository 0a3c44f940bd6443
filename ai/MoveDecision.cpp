// The computer seat's move: one search chosen by the shape of its hand, the
// pass bookkeeping, then the resolution rules. Nothing outside the decision
// changes here; the result names the cards of an exchange.
#include "ai/MoveDecision.h"

#include "model/HandEvaluation.h"

namespace {

// A one-suit hand that no table card improves: at or above this it is finished...
constexpr HandValue oneSuitFinishedFrom = 27.0;
// ...at or below this it runs the pass step; a hand worth 26 does neither.
constexpr HandValue oneSuitPassUpTo = 25.0;
// The pass step that reaches this count finishes the seat and stops the round.
constexpr int passesBeforeStop = 3;

// Working values of one decision; nothing here outlives the call.
struct Decision {
    const GameState& state;
    Seat seat = 0;
    HandShape shape{};
    HandValue ownValue = 0.0;
    HandValue tableValue = 0.0;
    HandValue bestValue = 0.0;
    bool suitExchange = false;
    bool rankExchange = false;
    int suitHandCard = 0;
    int suitTableCard = 0;
    int rankHandCard = 0;
    int rankTableCard = 0;
    Move result = Move::pass;
    DecisionBookkeeping flags{};

    const CardRecord& hand(int position) const { return state.hands[seat][position]; }
    const CardRecord& tableCard(int position) const { return state.TableCards[position]; }
    bool foundExchange() const { return suitExchange || rankExchange; }
};

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
    return d.hand(d.shape.suit.card).suit;
}

int pairRank(const Decision& d)
{
    return d.hand(d.shape.rank.card).rank;
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

void runPassStep(Decision& d)
{
    d.flags.passed = 1;
    d.flags.passCount += 1;
    if (d.flags.passCount >= passesBeforeStop) {
        d.flags.finished = 1;
        d.flags.stopCalled = 1;
    }
}

// ---- Searches, one per hand shape -------------------------------------

void searchMixedHand(Decision& d)
{
    // Strict comparison: of equal sums the first in scanning order stays.
    for (int h = 0; h < cardsPerHand; ++h) {
        for (int t = 0; t < cardsPerHand; ++t) {
            const HandValue sum = valueOfPoints(d.hand(h).points + d.tableCard(t).points);
            if (d.tableCard(t).suit == d.hand(h).suit && sum > d.bestValue) {
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
            if (d.tableCard(t).rank == d.hand(h).rank) {
                d.rankTableCard = t;
                d.rankHandCard = lowestHandCard(d);
                d.rankExchange = true;
            }
        }
    }
}

// A card attribute a hand's group shares: &CardRecord::suit or &CardRecord::rank.
using Attribute = std::int16_t CardRecord::*;

// Whether a hand card other than `odd` has the table card's `attribute`.
bool sharedWithKeptCard(const Decision& d, int odd, const CardRecord& table, Attribute attribute)
{
    for (int h = 0; h < cardsPerHand; ++h)
        if (h != odd && table.*attribute == d.hand(h).*attribute)
            return true;
    return false;
}

// Records the last table card that `matches` as the exchange by `attribute`.
template <typename Match>
void takeLastTableMatch(Decision& d, Attribute attribute, Match matches)
{
    const bool bySuit = attribute == &CardRecord::suit;
    for (int t = 0; t < cardsPerHand; ++t) {
        if (matches(d.tableCard(t))) {
            (bySuit ? d.suitTableCard : d.rankTableCard) = t;
            (bySuit ? d.suitExchange : d.rankExchange) = true;
        }
    }
}

// Every pair hand searches the same way: the last table card that completes
// its group, else the last that pairs with a kept card the other way; with
// neither, the seat runs the pass step.
template <typename Completes, typename PairsOtherWay>
void searchPairHand(Decision& d, Attribute group, Completes completesGroup, PairsOtherWay pairsOtherWay)
{
    const Attribute other = group == &CardRecord::suit ? &CardRecord::rank : &CardRecord::suit;
    takeLastTableMatch(d, group, completesGroup);
    if (!d.foundExchange())
        takeLastTableMatch(d, other, pairsOtherWay);
    if (!d.foundExchange())
        runPassStep(d);
}

void searchRankPairHand(Decision& d)
{
    const int odd = oddRankCard(d);
    d.rankHandCard = odd;
    d.suitHandCard = odd;
    const int rank = pairRank(d);
    searchPairHand(
        d, &CardRecord::rank, [&](const CardRecord& table) { return table.rank == rank; },
        [&](const CardRecord& table) { return sharedWithKeptCard(d, odd, table, &CardRecord::suit); });
}

void searchThreeOfARankHand(Decision& d)
{
    // Only a table of 31 or three aces beats three of a rank, and the whole
    // table is then taken.
    if (d.tableValue > d.ownValue)
        return;
    if (d.state.aiFirstTurn) {
        d.flags.passed = 1;
    } else {
        d.flags.finished = 1;
        d.flags.stopCalled = 1;
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
    searchPairHand(
        d, &CardRecord::suit, [&](const CardRecord& table) { return table.suit == suit; },
        [&](const CardRecord& table) { return sharedWithKeptCard(d, odd, table, &CardRecord::rank); });
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
    searchPairHand(
        d, &CardRecord::rank, [&](const CardRecord& table) { return table.rank == rank; },
        [&](const CardRecord& table) { return table.suit == suit; });
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
        if (d.tableCard(t).suit == suit && d.bestValue + valueOfPoints(d.tableCard(t).points) > d.ownValue) {
            d.suitTableCard = t;
            d.suitExchange = true;
        }
    }
    if (d.suitExchange)
        return;
    if (d.ownValue >= oneSuitFinishedFrom)
        d.flags.finished = 1;
    else if (d.ownValue <= oneSuitPassUpTo)
        runPassStep(d);
}

void runSearch(Decision& d)
{
    const Group suit = d.shape.suit.group;
    const Group rank = d.shape.rank.group;
    if (suit == Group::none && rank == Group::none)
        searchMixedHand(d);
    else if (suit == Group::none && rank == Group::pair)
        searchRankPairHand(d);
    else if (suit == Group::none && rank == Group::three)
        searchThreeOfARankHand(d);
    else if (suit == Group::pair && rank == Group::none)
        searchSuitPairHand(d);
    else if (suit == Group::pair && rank == Group::pair)
        searchDoublePairHand(d);
    else if (suit == Group::three && rank == Group::none)
        searchOneSuitHand(d);
}

// ---- Resolution ---------------------------------------------------------

bool isTableWorthTakingWhole(HandValue tableValue)
{
    return tableValue == valueThirtyOne || tableValue == valueThreeOfARank || tableValue == valueThreeAces;
}

// The rules apply in this order, each able to overrule the ones before it.
void resolve(Decision& d)
{
    const bool found = d.foundExchange();
    DecisionBookkeeping& flags = d.flags;

    // A found exchange is made.
    if (found)
        d.result = Move::exchangeOne;
    // A seat that finished with nothing to take stops, and the round closes.
    if (flags.finished && !found) {
        d.result = Move::stop;
        flags.stopCalled = 1;
        flags.roundClosing = 1;
    }
    // A seat that passed with nothing to take passes, or stops when the round is closing.
    if (flags.passed && !found) {
        d.result = Move::pass;
        if (flags.roundClosing) {
            d.result = Move::stop;
            flags.stopCalled = 1;
        }
    }
    // After any Stop, this move is the seat's last.
    if (flags.stopCalled)
        flags.finished = 1;
    // A table worth 31, three of a rank or three aces is taken whole, whatever came before.
    if (isTableWorthTakingWhole(d.tableValue))
        d.result = Move::exchangeAll;
}

}  // namespace

ComputerMove chooseComputerMove(const GameState& state, Seat seat, const HandShape& shape)
{
    // Only the computer seats decide; anything else (the human, or a seat
    // number that has no hand) gets no move.
    if (seat < seatWest || seat > seatEast)
        return {};

    Decision d{.state = state, .seat = seat, .shape = shape};
    d.flags = {state.passedFlags[seat], state.passCount[seat], state.finishedFlags[seat], state.stopCalled,
               state.roundClosing};
    d.ownValue = valueOfThree(d.hand(0), d.hand(1), d.hand(2));
    d.tableValue = valueOfThree(d.tableCard(0), d.tableCard(1), d.tableCard(2));
    runSearch(d);
    resolve(d);

    ComputerMove move{d.result, 0, 0, d.flags};
    if (d.result == Move::exchangeOne) {
        move.handCard = d.suitExchange ? d.suitHandCard : d.rankHandCard;
        move.tableCard = d.suitExchange ? d.suitTableCard : d.rankTableCard;
    }
    return move;
}
