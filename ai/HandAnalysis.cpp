// Classifies a computer seat's three cards by suit and by rank. The move
// decision picks its search by the two group results and reads the group's
// suit or rank through the hand position returned with each.
#include "ai/HandAnalysis.h"

namespace {

// Above every card's points, so the first card always becomes the bound.
constexpr int pointsAboveAnyCard = 20;

bool isSeatWithHand(Seat seat)
{
    return seat >= seatSouth && seat <= seatEast;
}

}  // namespace

GroupResult suitGroups(const GameState& state, Seat seat)
{
    if (!isSeatWithHand(seat))
        return {Group::none, 0};

    const int s0 = state.hands[seat][0].suit;
    const int s1 = state.hands[seat][1].suit;
    const int s2 = state.hands[seat][2].suit;

    if (s0 == s1 && s0 == s2)
        return {Group::three, 0};
    if (s0 == s1)
        return {Group::pair, 1};
    if (s0 == s2)
        return {Group::pair, 0};
    if (s1 == s2)
        return {Group::pair, 1};
    return {Group::none, 0};
}

GroupResult rankGroups(const GameState& state, Seat seat)
{
    if (!isSeatWithHand(seat))
        return {Group::none, 0};

    const int r0 = state.hands[seat][0].rank;
    const int r1 = state.hands[seat][1].rank;
    const int r2 = state.hands[seat][2].rank;

    // Unlike the suit analysis, the pair at 0-1 records 0 and three of a
    // rank record 1; any card of the group serves the decision.
    if (r0 == r1 && r0 == r2)
        return {Group::three, 1};
    if (r0 == r1 || r0 == r2)
        return {Group::pair, 0};
    if (r1 == r2)
        return {Group::pair, 1};
    return {Group::none, 0};
}

int lowestCardIndex(int points0, int points1, int points2)
{
    const int points[cardsPerHand] = {points0, points1, points2};
    int bound = pointsAboveAnyCard;
    int index = 0;
    for (int position = 0; position < cardsPerHand; ++position) {
        if (points[position] < bound) {
            bound = points[position];
            index = position;
        }
    }
    return index;
}
