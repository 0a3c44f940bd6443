// The computer player: the hand analysis and the move decision, driven from
// hands and tables built directly in the game record. Expected moves are
// worked out by hand from the game's rules.
#include "ai/HandAnalysis.h"
#include "ai/MoveDecision.h"
#include "flow/TurnEngine.h"
#include "model/GameState.h"
#include "resources/BoardIds.h"
#include "tests/CardHelpers.h"
#include "tests/Harness.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>

using namespace testing_support;

namespace {

using Flags = std::array<std::int32_t, 3>;

// What a decision leaves behind for its seat and the round.
struct Bookkeeping {
    std::int32_t passed = 0;
    std::int32_t passCount = 0;
    std::int32_t finished = 0;
    std::uint8_t stopCalled = 0;
    std::uint8_t roundClosing = 0;
};

class ComputerPlayer : public ::testing::Test {
protected:
    Harness harness;
    std::int64_t pauseSpent = 0;

    // One computer turn as the turn engine asks for it. Stale selections are
    // left in place first: the decision has to start from a clear selection.
    Move decide(Seat seat)
    {
        game.currentSeat = seat;
        game.handSelected[0] = game.handSelected[1] = game.handSelected[2] = 1;
        game.tableSelected[0] = game.tableSelected[1] = game.tableSelected[2] = 1;
        const std::int64_t before = harness.pauseUnits();
        const Move move = decideComputerTurn(seat);
        pauseSpent = harness.pauseUnits() - before;
        return move;
    }

    void expectSelected(Flags hand, Flags table)
    {
        EXPECT_EQ((Flags{game.handSelected[0], game.handSelected[1], game.handSelected[2]}), hand);
        EXPECT_EQ((Flags{game.tableSelected[0], game.tableSelected[1], game.tableSelected[2]}), table);
    }

    // The seat's and the round's flags and counters, and the thinking pause
    // every computer decision ends with.
    void expectBookkeeping(Seat seat, Bookkeeping expected)
    {
        EXPECT_EQ(pauseSpent, seat == seatSouth ? 0 : 10) << "pause units";
        EXPECT_EQ(game.passedFlags[seat], expected.passed) << "passedFlags";
        EXPECT_EQ(game.passCount[seat], expected.passCount) << "passCount";
        EXPECT_EQ(game.finishedFlags[seat], expected.finished) << "finishedFlags";
        EXPECT_EQ(game.stopCalled, expected.stopCalled) << "stopCalled";
        EXPECT_EQ(game.roundClosing, expected.roundClosing) << "roundClosing";
    }
};

constexpr Flags none{0, 0, 0};
constexpr Flags first{1, 0, 0};
constexpr Flags second{0, 1, 0};
constexpr Flags third{0, 0, 1};
constexpr Flags all{1, 1, 1};

// ---- Hand analysis ------------------------------------------------------

// The analysis names a hand's shape and one card of its group, through which
// the decision reads the group's suit or rank; any card of the group serves.
struct GroupCase {
    CardRecord hand[3];
    Group result;
    int groupValue;  // the suit or rank the group shares; 0 for none
};

TEST_F(ComputerPlayer, SuitAnalysisNamesTheShapeAndACardOfTheSuit)
{
    const GroupCase cases[] = {
        {{card(7, clubs), card(8, diamonds), card(9, hearts)}, Group::none, 0},
        {{card(7, clubs), card(8, clubs), card(9, diamonds)}, Group::pair, clubs},
        {{card(7, clubs), card(8, diamonds), card(9, clubs)}, Group::pair, clubs},
        {{card(7, diamonds), card(8, clubs), card(9, clubs)}, Group::pair, clubs},
        {{card(7, hearts), card(8, hearts), card(9, hearts)}, Group::three, hearts},
    };
    for (const GroupCase& c : cases) {
        setHand(seatWest, c.hand[0], c.hand[1], c.hand[2]);
        const GroupResult result = suitGroups(game, seatWest);
        EXPECT_EQ(result.group, c.result);
        if (c.result != Group::none) {
            ASSERT_GE(result.card, 0);
            ASSERT_LE(result.card, 2);
            EXPECT_EQ(c.hand[result.card].suit, c.groupValue);
        }
    }
}

TEST_F(ComputerPlayer, RankAnalysisNamesTheShapeAndACardOfTheRank)
{
    const GroupCase cases[] = {
        {{card(7, clubs), card(8, diamonds), card(9, hearts)}, Group::none, 0},
        {{card(7, clubs), card(7, diamonds), card(9, hearts)}, Group::pair, 7},
        {{card(7, clubs), card(9, diamonds), card(7, hearts)}, Group::pair, 7},
        {{card(9, clubs), card(7, diamonds), card(7, hearts)}, Group::pair, 7},
        {{card(king, clubs), card(king, diamonds), card(king, hearts)}, Group::three, king},
    };
    for (const GroupCase& c : cases) {
        setHand(seatWest, c.hand[0], c.hand[1], c.hand[2]);
        const GroupResult result = rankGroups(game, seatWest);
        EXPECT_EQ(result.group, c.result);
        if (c.result != Group::none) {
            ASSERT_GE(result.card, 0);
            ASSERT_LE(result.card, 2);
            EXPECT_EQ(c.hand[result.card].rank, c.groupValue);
        }
    }
}

TEST_F(ComputerPlayer, AnalysisReadsOnlyTheAnalysedSeatsCards)
{
    setHand(seatWest, card(8, clubs), card(8, diamonds), card(9, hearts));  // pair at 0 and 1
    setHand(seatNorth, card(ace, clubs), card(jack, diamonds), card(jack, spades));
    setHand(seatEast, card(10, diamonds), card(queen, clubs), card(queen, hearts));
    const int pairRank[5] = {0, 8, 8, jack, queen};
    for (Seat seat : {seatNorth, seatEast}) {
        const GroupResult rank = rankGroups(game, seat);
        EXPECT_EQ(rank.group, Group::pair) << "seat " << seat;
        EXPECT_EQ(game.hands[seat][rank.card].rank, pairRank[seat]) << "seat " << seat;
        EXPECT_EQ(suitGroups(game, seat).group, Group::none) << "seat " << seat;
    }
}

TEST_F(ComputerPlayer, TurnRecordsTheAnalysisAndTheDecisionChangesNothing)
{
    setHand(seatEast, card(7, clubs), card(8, clubs), card(9, diamonds));  // suit pair at 0 and 1
    setTable(card(ace, clubs), card(king, hearts), card(queen, spades));
    game.suitGroupCard = 2;  // left over from an earlier turn: the nine of diamonds
    game.rankGroupCard = 2;
    GameState before;
    std::memcpy(&before, &game, sizeof game);
    const HandShape shape{suitGroups(game, seatEast), rankGroups(game, seatEast)};
    const ComputerMove move = chooseComputerMove(game, seatEast, shape);
    EXPECT_EQ(std::memcmp(&before, &game, sizeof game), 0) << "the decision wrote to the record";
    EXPECT_EQ(move.move, Move::exchangeOne);
    EXPECT_EQ(move.handCard, 2);
    EXPECT_EQ(move.tableCard, 0);
    EXPECT_EQ(decide(seatEast), Move::exchangeOne);
    ASSERT_GE(game.suitGroupCard, 0);
    ASSERT_LE(game.suitGroupCard, 2);
    EXPECT_EQ(before.hands[seatEast][game.suitGroupCard].suit, clubs);
}

TEST_F(ComputerPlayer, LowestCardIndexTakesTheFirstOfEqualLowest)
{
    EXPECT_EQ(lowestCardIndex(10, 10, 7), 2);
    EXPECT_EQ(lowestCardIndex(8, 8, 10), 0);
    EXPECT_EQ(lowestCardIndex(11, 10, 10), 1);
    EXPECT_EQ(lowestCardIndex(9, 9, 9), 0);
}

// ---- Seat 1 -------------------------------------------------------------

TEST_F(ComputerPlayer, SouthSeatGetsNoMoveNoEvaluationAndNoPause)
{
    setHand(seatSouth, card(ace, clubs), card(king, clubs), card(queen, clubs));  // 31 would close the round if valued
    setTable(card(7, diamonds), card(8, hearts), card(9, spades));
    EXPECT_EQ(decide(seatSouth), Move::none);
    expectSelected(none, none);
    expectBookkeeping(seatSouth, {});
    EXPECT_EQ(game.handValue[seatSouth], 0.0);
}

// ---- Mixed hand: three suits, three ranks --------------------------------

TEST_F(ComputerPlayer, MixedHandGivesAwayItsLowestCardEvenWhenItIsTheMatchedOne)
{
    setHand(seatWest, card(7, clubs), card(10, diamonds), card(ace, hearts));
    setTable(card(king, clubs), card(8, spades), card(9, spades));
    EXPECT_EQ(decide(seatWest), Move::exchangeOne);
    expectSelected(first, first);
    expectBookkeeping(seatWest, {});
    EXPECT_EQ(game.handValue[seatWest], 11.0);
}

TEST_F(ComputerPlayer, MixedHandTieKeepsTheFirstSuitPairFound)
{
    setHand(seatNorth, card(9, clubs), card(10, diamonds), card(8, hearts));
    setTable(card(10, clubs), card(9, diamonds), card(7, spades));  // 9+10 and 10+9 are both 19
    EXPECT_EQ(decide(seatNorth), Move::exchangeOne);
    expectSelected(third, first);
    expectBookkeeping(seatNorth, {});
}

TEST_F(ComputerPlayer, MixedHandTakesTheBestSuitPairFoundLater)
{
    setHand(seatEast, card(7, clubs), card(10, diamonds), card(9, hearts));
    setTable(card(8, clubs), card(ace, diamonds), card(7, spades));  // 15 first, then 21
    EXPECT_EQ(decide(seatEast), Move::exchangeOne);
    expectSelected(first, second);
    expectBookkeeping(seatEast, {});
}

TEST_F(ComputerPlayer, MixedHandRankPairingKeepsTheLastMatchWithHandOuter)
{
    setHand(seatWest, card(7, clubs), card(8, diamonds), card(9, hearts));
    setTable(card(9, spades), card(7, spades), card(queen, spades));  // hand 0 with table 1, then hand 2 with table 0
    EXPECT_EQ(decide(seatWest), Move::exchangeOne);
    expectSelected(first, first);
    expectBookkeeping(seatWest, {});
}

TEST_F(ComputerPlayer, MixedHandWithNothingPassesWithoutBookkeeping)
{
    setHand(seatWest, card(7, clubs), card(8, diamonds), card(9, hearts));
    setTable(card(10, spades), card(jack, spades), card(king, spades));  // worth 30: not taken whole
    EXPECT_EQ(decide(seatWest), Move::pass);
    expectSelected(none, none);
    expectBookkeeping(seatWest, {});
}

// ---- After a Stop, and while the round is closing --------------------------

TEST_F(ComputerPlayer, AfterAnotherSeatsStopNothingFoundPassesAndFinishes)
{
    game.stopCalled = 1;
    setHand(seatNorth, card(7, clubs), card(8, diamonds), card(9, hearts));
    setTable(card(10, spades), card(jack, spades), card(king, spades));
    EXPECT_EQ(decide(seatNorth), Move::pass);
    expectSelected(none, none);
    expectBookkeeping(seatNorth, {.finished = 1, .stopCalled = 1});
}

TEST_F(ComputerPlayer, AfterAnotherSeatsStopAnExchangeAlsoFinishes)
{
    game.stopCalled = 1;
    setHand(seatNorth, card(7, clubs), card(10, diamonds), card(ace, hearts));
    setTable(card(king, clubs), card(8, spades), card(9, spades));
    EXPECT_EQ(decide(seatNorth), Move::exchangeOne);
    expectSelected(first, first);
    expectBookkeeping(seatNorth, {.finished = 1, .stopCalled = 1});
}

TEST_F(ComputerPlayer, ClosingRoundSeatThatHasNotPassedStillPasses)
{
    game.roundClosing = 1;
    setHand(seatEast, card(7, clubs), card(8, diamonds), card(9, hearts));
    setTable(card(10, spades), card(jack, spades), card(king, spades));
    EXPECT_EQ(decide(seatEast), Move::pass);
    expectSelected(none, none);
    expectBookkeeping(seatEast, {.roundClosing = 1});
}

TEST_F(ComputerPlayer, ClosingRoundSeatThatPassedBeforeSaysStop)
{
    game.roundClosing = 1;
    game.passedFlags[seatEast] = 1;
    game.passCount[seatEast] = 2;
    setHand(seatEast, card(7, clubs), card(8, diamonds), card(9, hearts));
    setTable(card(10, spades), card(jack, spades), card(king, spades));
    EXPECT_EQ(decide(seatEast), Move::stop);
    expectSelected(none, none);
    expectBookkeeping(seatEast, {.passed = 1, .passCount = 2, .finished = 1, .stopCalled = 1, .roundClosing = 1});
}

// ---- Rank-pair hand ---------------------------------------------------------

TEST_F(ComputerPlayer, RankPairCompletionTakesTheHighestTablePosition)
{
    setHand(seatWest, card(ace, clubs), card(8, diamonds), card(8, hearts));
    setTable(card(8, spades), card(king, diamonds), card(8, clubs));
    EXPECT_EQ(decide(seatWest), Move::exchangeOne);
    expectSelected(first, third);
    expectBookkeeping(seatWest, {});
}

TEST_F(ComputerPlayer, RankPairWithoutCompletionPairsASuitOfAKeptCard)
{
    setHand(seatNorth, card(ace, clubs), card(8, diamonds), card(8, hearts));
    // The king at table 2 shares only the odd card's suit, so table 1 is taken.
    setTable(card(9, diamonds), card(7, hearts), card(king, clubs));
    EXPECT_EQ(decide(seatNorth), Move::exchangeOne);
    expectSelected(first, second);
    expectBookkeeping(seatNorth, {});
}

TEST_F(ComputerPlayer, RankPairWithNothingRunsThePassStep)
{
    setHand(seatEast, card(ace, clubs), card(8, diamonds), card(8, hearts));
    setTable(card(9, spades), card(10, spades), card(king, clubs));
    EXPECT_EQ(decide(seatEast), Move::pass);
    expectSelected(none, none);
    expectBookkeeping(seatEast, {.passed = 1, .passCount = 1});
}

TEST_F(ComputerPlayer, SeatThatPassedEarlierInTheRoundStillTakesAnExchange)
{
    game.passedFlags[seatWest] = 1;
    game.passCount[seatWest] = 1;
    setHand(seatWest, card(7, clubs), card(10, diamonds), card(ace, hearts));
    setTable(card(king, clubs), card(8, spades), card(9, spades));
    EXPECT_EQ(decide(seatWest), Move::exchangeOne);
    expectSelected(first, first);
    expectBookkeeping(seatWest, {.passed = 1, .passCount = 1});
}

// ---- Pairs of the last two cards ------------------------------------------------

TEST_F(ComputerPlayer, PairOfTheLastTwoCardsIsCompletedFromItsOwnSuitOrRank)
{
    // Clubs at 1 and 2: the ace of clubs completes them and the diamond goes.
    setHand(seatWest, card(9, diamonds), card(7, clubs), card(king, clubs));
    setTable(card(8, hearts), card(ace, clubs), card(10, spades));
    EXPECT_EQ(decide(seatWest), Move::exchangeOne);
    expectSelected(first, second);
    expectBookkeeping(seatWest, {});

    // Sevens at 1 and 2: the seven of spades completes them and the nine goes.
    setHand(seatNorth, card(9, clubs), card(7, diamonds), card(7, hearts));
    setTable(card(8, spades), card(7, spades), card(10, hearts));
    EXPECT_EQ(decide(seatNorth), Move::exchangeOne);
    expectSelected(first, second);
    expectBookkeeping(seatNorth, {});
}

// ---- Three of a rank ---------------------------------------------------------

TEST_F(ComputerPlayer, ThreeKingsOnTheFirstMovePassWithoutCounting)
{
    game.aiFirstTurn = 1;
    setHand(seatWest, card(king, clubs), card(king, diamonds), card(king, hearts));
    setTable(card(7, clubs), card(8, diamonds), card(9, hearts));
    EXPECT_EQ(decide(seatWest), Move::pass);
    expectSelected(none, none);
    expectBookkeeping(seatWest, {.passed = 1});
    EXPECT_EQ(game.handValue[seatWest], 30.5);
}

TEST_F(ComputerPlayer, ThreeKingsOnALaterMoveSayStop)
{
    setHand(seatWest, card(king, clubs), card(king, diamonds), card(king, hearts));
    setTable(card(7, clubs), card(8, diamonds), card(9, hearts));
    EXPECT_EQ(decide(seatWest), Move::stop);
    expectSelected(none, none);
    expectBookkeeping(seatWest, {.finished = 1, .stopCalled = 1, .roundClosing = 1});
}

TEST_F(ComputerPlayer, ThreeAcesSayStopEvenOnTheFirstMove)
{
    game.aiFirstTurn = 1;
    setHand(seatNorth, card(ace, clubs), card(ace, diamonds), card(ace, hearts));
    setTable(card(7, clubs), card(8, diamonds), card(9, hearts));
    EXPECT_EQ(decide(seatNorth), Move::stop);
    expectSelected(none, none);
    expectBookkeeping(seatNorth, {.passed = 1, .finished = 1, .stopCalled = 1, .roundClosing = 1});
    EXPECT_EQ(game.threeAcesFlag, 1);
    EXPECT_EQ(game.handValue[seatNorth], 91.5);
}

TEST_F(ComputerPlayer, ThreeKingsTakeATableWorthThirtyOne)
{
    setHand(seatEast, card(king, clubs), card(king, diamonds), card(king, hearts));
    setTable(card(ace, spades), card(king, spades), card(queen, spades));
    EXPECT_EQ(decide(seatEast), Move::exchangeAll);
    expectSelected(none, all);
    // Valuing the table raises no flag, and a better table leaves the seat unmarked.
    expectBookkeeping(seatEast, {});
}

// A table worth exactly the seat's own three of a rank beats nothing: the seat
// keeps its bookkeeping (a Stop, or a pass on the first move), and the rule
// for such a table then takes it whole.
TEST_F(ComputerPlayer, ThreeKingsFacingThreeQueensKeepTheirStopAndTakeTheTable)
{
    setHand(seatWest, card(king, clubs), card(king, diamonds), card(king, hearts));
    setTable(card(queen, clubs), card(queen, diamonds), card(queen, spades));
    EXPECT_EQ(decide(seatWest), Move::exchangeAll);
    expectSelected(none, all);
    expectBookkeeping(seatWest, {.finished = 1, .stopCalled = 1, .roundClosing = 1});
}

TEST_F(ComputerPlayer, ThreeKingsFacingThreeQueensOnTheFirstMoveKeepTheirPass)
{
    game.aiFirstTurn = 1;
    setHand(seatEast, card(king, clubs), card(king, diamonds), card(king, hearts));
    setTable(card(queen, clubs), card(queen, diamonds), card(queen, spades));
    EXPECT_EQ(decide(seatEast), Move::exchangeAll);
    expectSelected(none, all);
    expectBookkeeping(seatEast, {.passed = 1});
}

// ---- Suit-pair hand ----------------------------------------------------------

TEST_F(ComputerPlayer, SuitPairCompletionTakesTheHighestTablePosition)
{
    setHand(seatWest, card(7, clubs), card(9, diamonds), card(king, clubs));
    setTable(card(8, clubs), card(10, hearts), card(ace, clubs));
    EXPECT_EQ(decide(seatWest), Move::exchangeOne);
    expectSelected(second, third);
    expectBookkeeping(seatWest, {});
}

TEST_F(ComputerPlayer, SuitPairWithoutCompletionPairsARankOfAKeptCard)
{
    setHand(seatNorth, card(7, clubs), card(9, diamonds), card(king, clubs));
    // Table 2 matches only the odd card's rank, so the king at table 1 is taken.
    setTable(card(7, hearts), card(king, spades), card(9, spades));
    EXPECT_EQ(decide(seatNorth), Move::exchangeOne);
    expectSelected(second, second);
    expectBookkeeping(seatNorth, {});
}

TEST_F(ComputerPlayer, SuitPairPassStepBelowThreePassesOnly)
{
    game.passCount[seatEast] = 1;
    setHand(seatEast, card(7, clubs), card(9, diamonds), card(king, clubs));
    setTable(card(8, hearts), card(10, spades), card(jack, diamonds));
    EXPECT_EQ(decide(seatEast), Move::pass);
    expectSelected(none, none);
    expectBookkeeping(seatEast, {.passed = 1, .passCount = 2});
}

TEST_F(ComputerPlayer, SuitPairPassStepReachingThreeSaysStop)
{
    game.passCount[seatEast] = 2;
    setHand(seatEast, card(7, clubs), card(9, diamonds), card(king, clubs));
    setTable(card(8, hearts), card(10, spades), card(jack, diamonds));
    EXPECT_EQ(decide(seatEast), Move::stop);
    expectSelected(none, none);
    expectBookkeeping(seatEast, {.passed = 1, .passCount = 3, .finished = 1, .stopCalled = 1, .roundClosing = 1});
}

TEST_F(ComputerPlayer, PassesFromEarlierGamesStillCountTowardsStop)
{
    game.passCount[seatWest] = 7;
    setHand(seatWest, card(7, clubs), card(9, diamonds), card(king, clubs));
    setTable(card(8, hearts), card(10, spades), card(jack, diamonds));
    EXPECT_EQ(decide(seatWest), Move::stop);
    expectSelected(none, none);
    expectBookkeeping(seatWest, {.passed = 1, .passCount = 8, .finished = 1, .stopCalled = 1, .roundClosing = 1});
}

// ---- Double-pair hand ---------------------------------------------------------

TEST_F(ComputerPlayer, DoublePairSuitCompletionTakesTheEightNotTheAce)
{
    setHand(seatWest, card(7, clubs), card(7, diamonds), card(king, clubs));
    setTable(card(9, hearts), card(ace, clubs), card(8, clubs));
    EXPECT_EQ(decide(seatWest), Move::exchangeOne);
    expectSelected(second, third);
    expectBookkeeping(seatWest, {});
}

TEST_F(ComputerPlayer, DoublePairPrefersCompletingTheRank)
{
    setHand(seatNorth, card(7, clubs), card(7, diamonds), card(king, clubs));
    setTable(card(7, hearts), card(ace, clubs), card(9, spades));
    EXPECT_EQ(decide(seatNorth), Move::exchangeOne);
    expectSelected(third, first);
    expectBookkeeping(seatNorth, {});
}

TEST_F(ComputerPlayer, DoublePairWithNothingRunsThePassStep)
{
    setHand(seatEast, card(7, clubs), card(7, diamonds), card(king, clubs));
    setTable(card(9, hearts), card(10, spades), card(queen, diamonds));
    EXPECT_EQ(decide(seatEast), Move::pass);
    expectSelected(none, none);
    expectBookkeeping(seatEast, {.passed = 1, .passCount = 1});
}

// ---- One-suit hand -------------------------------------------------------------

TEST_F(ComputerPlayer, OneSuitTakesTheHighestImprovingCard)
{
    setHand(seatWest, card(7, clubs), card(9, clubs), card(10, clubs));  // 26
    setTable(card(8, clubs), card(ace, clubs), card(queen, spades));
    EXPECT_EQ(decide(seatWest), Move::exchangeOne);
    expectSelected(first, second);
    expectBookkeeping(seatWest, {});
}

TEST_F(ComputerPlayer, OneSuitGivesAwayItsWeakestCardWhereverItLies)
{
    setHand(seatNorth, card(10, clubs), card(9, clubs), card(7, clubs));  // 26; 19 + 8 = 27 improves it
    setTable(card(8, clubs), card(8, diamonds), card(queen, spades));
    EXPECT_EQ(decide(seatNorth), Move::exchangeOne);
    expectSelected(third, first);
    expectBookkeeping(seatNorth, {});
}

TEST_F(ComputerPlayer, OneSuitCardOfEqualPointsIsNoImprovement)
{
    setHand(seatEast, card(10, clubs), card(jack, clubs), card(queen, clubs));  // 30
    setTable(card(king, clubs), card(8, diamonds), card(9, hearts));
    EXPECT_EQ(decide(seatEast), Move::stop);
    expectSelected(none, none);
    expectBookkeeping(seatEast, {.finished = 1, .stopCalled = 1, .roundClosing = 1});
}

TEST_F(ComputerPlayer, OneSuitWorthTwentySevenUnimprovedSaysStop)
{
    setHand(seatWest, card(8, clubs), card(9, clubs), card(10, clubs));
    setTable(card(7, clubs), card(8, diamonds), card(queen, spades));  // the 7 of the suit would lower it
    EXPECT_EQ(decide(seatWest), Move::stop);
    expectSelected(none, none);
    expectBookkeeping(seatWest, {.finished = 1, .stopCalled = 1, .roundClosing = 1});
}

TEST_F(ComputerPlayer, OneSuitWorthTwentySixUnimprovedPassesWithoutBookkeeping)
{
    setHand(seatWest, card(7, clubs), card(9, clubs), card(10, clubs));
    setTable(card(8, diamonds), card(9, hearts), card(queen, spades));
    EXPECT_EQ(decide(seatWest), Move::pass);
    expectSelected(none, none);
    expectBookkeeping(seatWest, {});
}

TEST_F(ComputerPlayer, OneSuitWorthTwentyFiveUnimprovedRunsThePassStep)
{
    setHand(seatWest, card(7, clubs), card(8, clubs), card(10, clubs));
    setTable(card(8, diamonds), card(9, hearts), card(queen, spades));
    EXPECT_EQ(decide(seatWest), Move::pass);
    expectSelected(none, none);
    expectBookkeeping(seatWest, {.passed = 1, .passCount = 1});
}

// ---- Taking the whole table -------------------------------------------------------

TEST_F(ComputerPlayer, TableWorthThirtyOneOverridesAFoundExchange)
{
    setHand(seatWest, card(7, clubs), card(10, diamonds), card(9, hearts));
    setTable(card(ace, clubs), card(king, clubs), card(queen, clubs));
    EXPECT_EQ(decide(seatWest), Move::exchangeAll);
    expectSelected(none, all);
    expectBookkeeping(seatWest, {});
}

TEST_F(ComputerPlayer, TableWorthThirtyOneOverridesAFinishedSeatKeepingItsFlags)
{
    setHand(seatNorth, card(8, diamonds), card(9, diamonds),
            card(10, diamonds));  // 27, nothing of its suit on the table
    setTable(card(ace, clubs), card(king, clubs), card(queen, clubs));
    EXPECT_EQ(decide(seatNorth), Move::exchangeAll);
    expectSelected(none, all);
    expectBookkeeping(seatNorth, {.finished = 1, .stopCalled = 1, .roundClosing = 1});
}

TEST_F(ComputerPlayer, TableOfThreeOfARankIsTakenWhole)
{
    setHand(seatEast, card(7, clubs), card(8, diamonds), card(9, hearts));
    setTable(card(queen, clubs), card(queen, diamonds), card(queen, spades));
    EXPECT_EQ(decide(seatEast), Move::exchangeAll);
    expectSelected(none, all);
    expectBookkeeping(seatEast, {});
}

TEST_F(ComputerPlayer, TableOfThreeAcesIsTakenWholeWithoutRaisingFlags)
{
    setHand(seatEast, card(7, clubs), card(8, diamonds), card(9, hearts));
    setTable(card(ace, clubs), card(ace, diamonds), card(ace, spades));
    EXPECT_EQ(decide(seatEast), Move::exchangeAll);
    expectSelected(none, all);
    expectBookkeeping(seatEast, {});
    EXPECT_EQ(game.threeAcesFlag, 0);
}

// ---- The decision inside the turn engine ---------------------------------------------

// West moves with south the only other seat alive, so runTurns returns at south's turn.
class ComputerTurn : public ComputerPlayer {
protected:
    void SetUp() override
    {
        game.gameRunning = 1;
        game.lives[seatSouth] = 4;
        game.lives[seatWest] = 4;
        game.finishedFlags[seatNorth] = 1;
        game.finishedFlags[seatEast] = 1;
        game.currentSeat = seatWest;
    }
};

TEST_F(ComputerTurn, PassFromThePassStepIsCountedTwice)
{
    setHand(seatWest, card(ace, clubs), card(8, diamonds), card(8, hearts));
    setTable(card(9, spades), card(10, spades), card(king, clubs));
    runTurns(harness.boardWindow());
    EXPECT_EQ(game.passCount[seatWest], 2);
    EXPECT_EQ(game.passedFlags[seatWest], 1);
    EXPECT_EQ(game.currentSeat, seatSouth);
}

TEST_F(ComputerTurn, FirstComputerMoveOfTheRoundLetsTheHumanStop)
{
    game.firstTurnOfRound = 1;
    setHand(seatWest, card(ace, clubs), card(8, diamonds), card(8, hearts));
    setTable(card(9, spades), card(10, spades), card(king, clubs));
    runTurns(harness.boardWindow());
    ASSERT_EQ(game.currentSeat, seatSouth);
    EXPECT_EQ(game.firstTurnOfRound, 0);
    EXPECT_TRUE(harness.controlVisible(ids::controlStop));
    EXPECT_TRUE(harness.controlVisible(ids::controlPass));
}

TEST_F(ComputerTurn, PreselectedExchangeIsCarriedOut)
{
    setHand(seatWest, card(7, clubs), card(9, clubs), card(10, clubs));
    setTable(card(8, clubs), card(ace, clubs), card(queen, spades));
    runTurns(harness.boardWindow());
    EXPECT_EQ(game.hands[seatWest][0].rank, ace);
    EXPECT_EQ(game.TableCards[1].rank, 7);
    EXPECT_EQ(game.handValue[seatWest], 30.0);
    EXPECT_EQ(game.passCount[seatWest], 0);
    EXPECT_EQ(game.currentSeat, seatSouth);
}

}  // namespace
