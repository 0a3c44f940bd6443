#include "model/HandEvaluation.h"

namespace {

constexpr int acePoints = 11;

const CardRecord* cardsOf(const GameState& state, Seat seat)
{
    return seat == seatTable ? state.TableCards : state.hands[seat];
}

int highestOfThree(int a, int b, int c)
{
    int highest = a;
    if (b > highest)
        highest = b;
    if (c > highest)
        highest = c;
    return highest;
}

}  // namespace

HandValue valueOfThree(const CardRecord& c0, const CardRecord& c1, const CardRecord& c2, bool* threeAces)
{
    if (threeAces)
        *threeAces = false;
    // The rank rule comes first, so three kings are 30.5 and never 30.
    if (c0.rank == c1.rank && c1.rank == c2.rank) {
        if (c0.points == acePoints) {
            if (threeAces)
                *threeAces = true;
            return valueThreeAces;
        }
        return valueThreeOfARank;
    }
    if (c0.suit == c1.suit && c1.suit == c2.suit)
        return static_cast<HandValue>(c0.points + c1.points + c2.points);
    if (c0.suit == c1.suit)
        return static_cast<HandValue>(c0.points + c1.points);
    if (c0.suit == c2.suit)
        return static_cast<HandValue>(c0.points + c2.points);
    if (c1.suit == c2.suit)
        return static_cast<HandValue>(c1.points + c2.points);
    return static_cast<HandValue>(highestOfThree(c0.points, c1.points, c2.points));
}

HandValue evaluateHand(Seat seat, GameState& state)
{
    const CardRecord* cards = cardsOf(state, seat);
    bool threeAces = false;
    const HandValue value = valueOfThree(cards[0], cards[1], cards[2], &threeAces);
    if (threeAces) {
        state.threeAcesFlag = 1;
        state.roundClosing = 1;
    }
    if (value == valueThirtyOne)
        state.roundClosing = 1;
    if (seat >= 1 && seat <= seatCount)
        state.handValue[seat] = value;
    return value;
}

HandValue handValueOf(Seat seat, const GameState& state)
{
    const CardRecord* cards = cardsOf(state, seat);
    return valueOfThree(cards[0], cards[1], cards[2]);
}

Evaluation evaluateHandCode(Seat seat, GameState& state)
{
    const CardRecord* cards = cardsOf(state, seat);
    bool threeAces = false;
    const HandValue value = valueOfThree(cards[0], cards[1], cards[2], &threeAces);
    if (threeAces)
        state.threeAcesFlag = 1;
    Evaluation code = Evaluation::ordinary;
    if (value == valueThreeAces)
        code = Evaluation::threeAces;
    else if (value == valueThirtyOne)
        code = Evaluation::thirtyOne;
    if (seat >= 1 && seat <= seatCount)
        state.handValue[seat] = value;
    return code;
}
