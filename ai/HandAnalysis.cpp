// Classifies a computer seat's three cards by suit and by rank. The move
// decision picks its search by the two group results and reads the group's
// suit or rank through the recorded hand position.
#include "ai/HandAnalysis.h"

namespace {

// Above every card's points, so the first card always becomes the bound.
constexpr int pointsAboveAnyCard = 20;

bool isSeatWithHand(Seat seat)
{
    return seat >= seatSouth && seat <= seatEast;
}

}  // namespace

int suitGroups(Seat seat)
{
    game.suitGroupCard = 0;
    if (!isSeatWithHand(seat))
        return groupNone;

    const int s0 = game.hands[seat][0].suit;
    const int s1 = game.hands[seat][1].suit;
    const int s2 = game.hands[seat][2].suit;

    if (s0 == s1 && s0 == s2)
        return groupThree;
    if (s0 == s1)
        game.suitGroupCard = 1;
    else if (s0 == s2)
        game.suitGroupCard = 0;
    else if (s1 == s2)
        game.suitGroupCard = 1;
    else
        return groupNone;
    return groupPair;
}

int rankGroups(Seat seat)
{
    game.rankGroupCard = 0;
    if (!isSeatWithHand(seat))
        return groupNone;

    const int r0 = game.hands[seat][0].rank;
    const int r1 = game.hands[seat][1].rank;
    const int r2 = game.hands[seat][2].rank;

    // Unlike the suit analysis, the pair at 0-1 records 0 and three of a
    // rank record 1; any card of the group serves the decision.
    if (r0 == r1 && r0 == r2) {
        game.rankGroupCard = 1;
        return groupThree;
    }
    if (r0 == r1 || r0 == r2)
        game.rankGroupCard = 0;
    else if (r1 == r2)
        game.rankGroupCard = 1;
    else
        return groupNone;
    return groupPair;
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
