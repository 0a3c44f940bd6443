// The card model: hand values, the shuffle and the hand reset.
#include "tests/CardHelpers.h"
#include "tests/Harness.h"

#include "flow/Dealing.h"
#include "model/Deck.h"
#include "model/HandEvaluation.h"
#include "resources/ResourceIds.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

using namespace testing_support;

namespace {

void clearRoundFlags()
{
    game.threeAcesFlag = 0;
    game.roundClosing = 0;
}

}  // namespace

// ---- Hand values ----------------------------------------------------------

TEST(HandValue, ThreeOfARankIsThirtyPointFiveNotThirty)
{
    EXPECT_EQ(valueOfThree(card(king, clubs), card(king, hearts), card(king, spades)), 30.5);
    EXPECT_EQ(valueOfThree(card(7, clubs), card(7, hearts), card(7, spades)), 30.5);
}

TEST(HandValue, SuitsRanksAndHighCards)
{
    EXPECT_EQ(valueOfThree(card(ace, hearts), card(king, hearts), card(queen, hearts)), 31.0);
    EXPECT_EQ(valueOfThree(card(ace, hearts), card(10, hearts), card(9, hearts)), 30.0);
    EXPECT_EQ(valueOfThree(card(7, spades), card(8, spades), card(9, spades)), 24.0);
    // A pair of one suit beats a single ace.
    EXPECT_EQ(valueOfThree(card(7, clubs), card(8, clubs), card(ace, hearts)), 15.0);
    EXPECT_EQ(valueOfThree(card(ace, clubs), card(10, diamonds), card(9, hearts)), 11.0);
    // The pair may stand at any two positions.
    EXPECT_EQ(valueOfThree(card(jack, diamonds), card(7, clubs), card(ace, diamonds)), 21.0);
    EXPECT_EQ(valueOfThree(card(8, clubs), card(9, spades), card(queen, spades)), 19.0);
}

TEST(HandValue, CardBacksCountAsThreeOfARank)
{
    Harness harness;  // start-up has turned every hand into card backs
    EXPECT_EQ(evaluateHand(seatWest), 30.5);
}

TEST(HandValue, ThreeAcesRaiseTheirFlagsPerEntryPoint)
{
    Harness harness;
    setHand(seatNorth, card(ace, clubs), card(ace, hearts), card(ace, spades));
    clearRoundFlags();
    EXPECT_EQ(evaluateHand(seatNorth), 91.5);
    EXPECT_EQ(game.threeAcesFlag, 1);
    EXPECT_EQ(game.roundClosing, 1);
    EXPECT_EQ(game.handValue[seatNorth], 91.5);

    clearRoundFlags();
    game.handValue[seatNorth] = 0.0;
    EXPECT_EQ(evaluateHandCode(seatNorth), Evaluation::threeAces);
    EXPECT_EQ(game.threeAcesFlag, 1);
    EXPECT_EQ(game.roundClosing, 0);
    EXPECT_EQ(game.handValue[seatNorth], 91.5);

    clearRoundFlags();
    setTable(card(ace, clubs), card(ace, diamonds), card(ace, spades));
    EXPECT_EQ(handValueOf(seatTable), 91.5);
    EXPECT_EQ(game.threeAcesFlag, 0);
    EXPECT_EQ(game.roundClosing, 0);
}

TEST(HandValue, ThirtyOneClosesTheRoundButIsNoThreeAces)
{
    Harness harness;
    setHand(seatSouth, card(ace, hearts), card(king, hearts), card(queen, hearts));
    clearRoundFlags();
    EXPECT_EQ(evaluateHand(seatSouth), 31.0);
    EXPECT_EQ(game.roundClosing, 1);
    EXPECT_EQ(game.threeAcesFlag, 0);

    clearRoundFlags();
    EXPECT_EQ(evaluateHandCode(seatSouth), Evaluation::thirtyOne);
    EXPECT_EQ(game.roundClosing, 0);
    EXPECT_EQ(game.threeAcesFlag, 0);

    setHand(seatSouth, card(ace, hearts), card(10, hearts), card(9, hearts));
    EXPECT_EQ(evaluateHandCode(seatSouth), Evaluation::ordinary);
    setHand(seatSouth, card(king, clubs), card(king, hearts), card(king, spades));
    EXPECT_EQ(evaluateHandCode(seatSouth), Evaluation::ordinary);
    EXPECT_EQ(game.roundClosing, 0);
    EXPECT_EQ(game.threeAcesFlag, 0);
}

TEST(HandValue, TheTableWritesNoHandValue)
{
    Harness harness;
    for (Seat seat = 1; seat <= 4; ++seat)
        game.handValue[seat] = 1.0;
    setTable(card(ace, hearts), card(king, hearts), card(queen, hearts));
    EXPECT_EQ(evaluateHand(seatTable), 31.0);
    EXPECT_EQ(evaluateHandCode(seatTable), Evaluation::thirtyOne);
    for (Seat seat = 1; seat <= 4; ++seat)
        EXPECT_EQ(game.handValue[seat], 1.0) << "seat " << seat;
}

// ---- Shuffle --------------------------------------------------------------

// Every second of the minute deals a deck of its own, the last one included
// (0 seeds the generator as 1 does, the standard's rule for a zero seed).
TEST(Shuffle, GivesEachCardExactlyOnceForEverySecond)
{
    Harness harness;
    std::set<std::vector<int>> decks;
    for (int seconds = 0; seconds < 60; ++seconds) {
        harness.pinSeconds(seconds);
        shuffleFromPlatform();
        std::set<int> faces;
        std::vector<int> order;
        for (const CardRecord& each : game.Deck) {
            faces.insert(each.sideFace);
            order.push_back(each.sideFace);
        }
        EXPECT_EQ(faces.size(), 32u) << "seconds " << seconds;
        EXPECT_EQ(faces.count(0), 0u);
        if (seconds > 0) {
            EXPECT_TRUE(decks.insert(order).second) << "seconds " << seconds << " deal an earlier second's deck";
        }
    }
}

TEST(Shuffle, SameSecondsGiveTheSameDeck)
{
    Harness harness;
    harness.pinSeconds(42);
    shuffleFromPlatform();
    CardRecord first[32];
    std::copy(std::begin(game.Deck), std::end(game.Deck), first);
    shuffleFromPlatform();
    for (int i = 0; i < 32; ++i)
        EXPECT_TRUE(sameCard(first[i], game.Deck[i])) << "position " << i;
    harness.pinSeconds(43);
    shuffleFromPlatform();
    int samePlace = 0;
    for (int i = 0; i < 32; ++i)
        samePlace += sameCard(first[i], game.Deck[i]) ? 1 : 0;
    EXPECT_LT(samePlace, 32);
}

TEST(Shuffle, PinnedSecondsGiveAPinnedDeck)
{
    // Worked out by hand from the minimal standard generator (multiplier 48271).
    Harness harness;
    harness.pinSeconds(17);
    shuffleFromPlatform();
    EXPECT_TRUE(sameCard(game.Deck[0], card(king, spades)));
    EXPECT_TRUE(sameCard(game.Deck[1], card(9, clubs)));
    EXPECT_TRUE(sameCard(game.Deck[2], card(ace, hearts)));
    EXPECT_TRUE(sameCard(game.Deck[3], card(10, spades)));
    EXPECT_TRUE(sameCard(game.Deck[4], card(7, hearts)));
    EXPECT_TRUE(sameCard(game.Deck[5], card(queen, hearts)));
}

TEST(Shuffle, DrawsFromTheCallersGeneratorSeededWithTheGivenSeconds)
{
    // The model takes no clock or generator of its own: an outside one, seeded
    // with 17, deals the pinned deck above, and the seconds reach it unchanged.
    Harness harness;
    static std::minstd_rand outside;
    static std::vector<std::uint32_t> seeds;
    seeds.clear();
    const ShuffleGenerator generator{[](std::uint32_t seed) {
                                         seeds.push_back(seed);
                                         outside.seed(seed);
                                     },
                                     [] { return static_cast<std::uint32_t>(outside()); }};
    harness.pinSeconds(3);
    shuffleDeck(17, generator);
    EXPECT_EQ(seeds, std::vector<std::uint32_t>{17});
    EXPECT_TRUE(sameCard(game.Deck[0], card(king, spades)));
    EXPECT_TRUE(sameCard(game.Deck[5], card(queen, hearts)));
}

// ---- Hand reset -----------------------------------------------------------

TEST(ResetHands, TurnsHandsIntoBacksAndKeepsTheRest)
{
    Harness harness;
    for (Seat seat = 1; seat <= 4; ++seat) {
        setHand(seat, card(ace, seat), card(7, seat), card(8, seat));
        game.lives[seat] = static_cast<std::int16_t>(seat - 1);
        game.finishedFlags[seat] = 1;
        game.passedFlags[seat] = 1;
        game.passCount[seat] = 5;
    }
    setTable(card(9, clubs), card(9, hearts), card(9, spades));
    game.handSelected[1] = 1;

    resetHands(Lives::keep);
    for (Seat seat = 1; seat <= 4; ++seat) {
        const int back = (seat == 1 || seat == 3) ? res::imageBackUpright : res::imageBackSide;
        for (const CardRecord& each : game.hands[seat]) {
            EXPECT_EQ(each.sideFace, back);
            EXPECT_EQ(each.uprightFace, back);
            EXPECT_EQ(each.sideFaceSelected, back);
            EXPECT_EQ(each.uprightFaceSelected, back);
            EXPECT_EQ(each.points, 0);
            EXPECT_EQ(each.suit, 0);
            EXPECT_EQ(each.rank, 0);
        }
        EXPECT_EQ(game.lives[seat], seat - 1);
        EXPECT_EQ(game.finishedFlags[seat], 0);
        EXPECT_EQ(game.passedFlags[seat], 0);
        EXPECT_EQ(game.passCount[seat], 5);
    }
    EXPECT_TRUE(sameCard(game.TableCards[1], card(9, hearts)));
    EXPECT_EQ(game.handSelected[1], 1);

    resetHands(Lives::refill);
    for (Seat seat = 1; seat <= 4; ++seat)
        EXPECT_EQ(game.lives[seat], 4);
}
