// The end of a round: losers, score bubbles, lives, the end of the game and the next deal.
#include "tests/BoardReading.h"
#include "tests/CardHelpers.h"
#include "tests/Harness.h"

#include "flow/Settlement.h"
#include "flow/TurnEngine.h"
#include "resources/BoardIds.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

using namespace testing_support;

namespace {

void setValues(HandValue south, HandValue west, HandValue north, HandValue east)
{
    game.handValue[1] = south;
    game.handValue[2] = west;
    game.handValue[3] = north;
    game.handValue[4] = east;
}

void setLives(int south, int west, int north, int east)
{
    game.lives[1] = static_cast<std::int16_t>(south);
    game.lives[2] = static_cast<std::int16_t>(west);
    game.lives[3] = static_cast<std::int16_t>(north);
    game.lives[4] = static_cast<std::int16_t>(east);
}

void expectLosers(int south, int west, int north, int east)
{
    EXPECT_EQ(game.roundLosers[1], south);
    EXPECT_EQ(game.roundLosers[2], west);
    EXPECT_EQ(game.roundLosers[3], north);
    EXPECT_EQ(game.roundLosers[4], east);
}

class Settlement : public ::testing::Test {
protected:
    Harness harness{17};
    void SetUp() override
    {
        harness.command(ids::commandNew);
        game.threeAcesFlag = 0;
        setLives(4, 4, 4, 4);
    }
    void TearDown() override { platform::headless::setPauseObserver(nullptr); }
};

}  // namespace

// ---- Who loses ----------------------------------------------------------------------

TEST_F(Settlement, LowestHandLosesAndTiedBestHandsWin)
{
    setValues(20, 25, 25, 18);
    EXPECT_EQ(findRoundLosers(), RoundOutcome::losersFound);
    EXPECT_EQ(game.roundWinners[2], 1);
    EXPECT_EQ(game.roundWinners[3], 1);
    EXPECT_EQ(game.roundWinners[1], 0);
    expectLosers(0, 0, 0, 1);
}

TEST_F(Settlement, TiedLowestHandsAllLose)
{
    setValues(21, 15, 30, 15);
    EXPECT_EQ(findRoundLosers(), RoundOutcome::losersFound);
    expectLosers(0, 1, 0, 1);
}

TEST_F(Settlement, AllEqualValuesAnswerFourAndNobodyLoses)
{
    setValues(24, 24, 24, 24);
    EXPECT_EQ(findRoundLosers(), RoundOutcome::allHandsEqual);
    expectLosers(0, 0, 0, 0);
}

TEST_F(Settlement, ASeatOutOfLivesIsLeftOutOfTheLowestSearch)
{
    setLives(4, 4, 0, 4);
    setValues(26, 18, 0.0, 18);
    EXPECT_EQ(findRoundLosers(), RoundOutcome::losersFound);
    expectLosers(0, 1, 0, 1);
}

TEST_F(Settlement, ThreeEqualHandsAndOneLowerIsNoRedeal)
{
    // Whichever seat holds the odd value, all four seats take part in the comparison.
    for (Seat odd = 1; odd <= 4; ++odd) {
        HandValue values[5] = {0, 24, 24, 24, 24};
        values[odd] = 20;
        setValues(values[1], values[2], values[3], values[4]);
        EXPECT_EQ(findRoundLosers(), RoundOutcome::losersFound) << "seat " << odd << " lower";
        for (Seat seat = 1; seat <= 4; ++seat)
            EXPECT_EQ(game.roundLosers[seat], seat == odd ? 1 : 0) << "seat " << odd << " lower";
    }
}

TEST_F(Settlement, ThreeAcesMakeEveryoneWithoutTheBestHandLose)
{
    setValues(31, 91.5, 20, 15);
    game.threeAcesFlag = 1;
    EXPECT_EQ(findRoundLosers(), RoundOutcome::losersFound);
    expectLosers(1, 0, 1, 1);
}

TEST_F(Settlement, ThirtyPointFiveRanksBetweenThirtyAndThirtyOne)
{
    setValues(30.5, 30, 31, 30.5);
    EXPECT_EQ(findRoundLosers(), RoundOutcome::losersFound);
    expectLosers(0, 1, 0, 0);
    EXPECT_EQ(game.roundWinners[3], 1);
}

// ---- Score bubbles ----------------------------------------------------------------------

TEST_F(Settlement, EverySeatShowsItsScoreDuringTheWait)
{
    setValues(30.5, 24, 91.5, 0.0);
    setLives(4, 4, 4, 0);
    game.roundLosers[2] = 1;
    bool checked = false;
    platform::headless::setPauseObserver([&](int units) {
        if (units != 50 || checked)
            return;
        checked = true;
        EXPECT_EQ(bubbleText(harness, seatSouth), "30.5");
        EXPECT_EQ(bubbleText(harness, seatWest), "24");
        EXPECT_EQ(bubbleText(harness, seatNorth), "flash");
        EXPECT_EQ(bubbleText(harness, seatEast), "");  // out of the game: the spot is cleared
        for (int id = ids::controlTable1; id <= ids::controlLastCard; ++id)
            EXPECT_TRUE(harness.controlVisible(id)) << id;
    });
    settleRound(Scoring::score, harness.boardWindow());
    EXPECT_TRUE(checked);
    EXPECT_EQ(game.lives[2], 3);
}

// Every value a hand can have, beside every seat, tail towards its cards;
// 31 is the best hand and says so in a word.
TEST_F(Settlement, EveryHandValueShowsItsNumberBesideEverySeat)
{
    const HandValue values[] = {7, 8, 9, 10, 11, 15, 16, 17, 18, 19, 20, 21, 24, 25, 26, 27, 28, 29, 30, 30.5, 31};
    for (HandValue value : values) {
        setLives(4, 4, 4, 4);
        setValues(value, value, value, value);
        for (Seat seat = 1; seat <= 4; ++seat)
            game.roundLosers[seat] = 0;
        std::ostringstream number;
        number << value;
        const std::string expected = value == 31 ? "Zarta" : number.str();
        int seen = 0;
        platform::headless::setPauseObserver([&](int units) {
            if (units != 50)
                return;
            ++seen;
            for (Seat seat = 1; seat <= 4; ++seat) {
                EXPECT_EQ(bubbleText(harness, seat), expected) << "seat " << seat;
                const std::vector<int> tail = bubbleTouchesCardsSide(harness, seat);
                ASSERT_FALSE(tail.empty()) << expected << " of seat " << seat;
                EXPECT_GE(tail.front(), CardsSpan[seat][0]) << expected << " of seat " << seat;
                EXPECT_LT(tail.back(), CardsSpan[seat][1]) << expected << " of seat " << seat;
            }
        });
        settleRound(Scoring::score, harness.boardWindow());
        platform::headless::setPauseObserver(nullptr);
        EXPECT_EQ(seen, 1) << expected;
    }
}

// ---- The end of the game ----------------------------------------------------------------

TEST_F(Settlement, HumanLosingItsLastLifeLoses)
{
    setLives(1, 2, 2, 2);
    game.roundLosers[1] = 1;
    settleRound(Scoring::score, harness.boardWindow());
    ASSERT_EQ(harness.boxes().size(), 1u);
    EXPECT_EQ(harness.boxes()[0].text, "You Lose...");
    EXPECT_EQ(harness.boxes()[0].caption, "Game Over");
    EXPECT_EQ(game.gameRunning, 0);
    EXPECT_EQ(game.lives[1], 0);
}

TEST_F(Settlement, GameOverBoxLeavesTheBubblesAndOldLivesAroundIt)
{
    setValues(15, 24, 30.5, 31);
    setLives(1, 2, 2, 2);
    game.roundLosers[1] = 1;
    std::vector<std::uint32_t> beforeBox;
    platform::headless::setPauseObserver([&](int) { beforeBox = harness.screenShot(); });
    int changed = -1;
    platform::Rect box{};
    platform::headless::setBoxAnswerer([&](std::string_view, std::string_view, platform::BoxButtons) {
        box = platform::headless::boxRect();
        changed = harness.pixelsChangedOutside(beforeBox, box);
        return platform::answerOk;
    });
    settleRound(Scoring::score, harness.boardWindow());
    EXPECT_EQ(platform::headless::lastBoxText(), "You Lose...");
    EXPECT_EQ(changed, 0);
    // Closing the box gives back exactly what it covered.
    harness.runUntilIdle();
    EXPECT_EQ(harness.pixelsChangedOutside(beforeBox, platform::Rect{}), 0);
    EXPECT_EQ(coinsOn(readArea(harness, LivesSpots[seatSouth])), 1);  // the life before the loss
}

TEST_F(Settlement, HumanAndLastComputerFallingTogetherIsStillALoss)
{
    setLives(1, 0, 0, 1);
    game.roundLosers[1] = 1;
    game.roundLosers[4] = 1;
    settleRound(Scoring::score, harness.boardWindow());
    ASSERT_EQ(harness.boxes().size(), 1u);
    EXPECT_EQ(harness.boxes()[0].text, "You Lose...");
}

TEST_F(Settlement, LastComputerSeatFallingIsAWin)
{
    setLives(2, 0, 1, 0);
    game.roundLosers[3] = 1;
    settleRound(Scoring::score, harness.boardWindow());
    ASSERT_EQ(harness.boxes().size(), 1u);
    EXPECT_EQ(harness.boxes()[0].text, "You Win...");
    EXPECT_EQ(harness.boxes()[0].caption, "Game Over");
    EXPECT_EQ(game.gameRunning, 0);
}

TEST_F(Settlement, AComputerSeatStillInPlayMeansNoWinYet)
{
    // West and east are out; north still has lives whatever happens to west.
    setLives(2, 1, 2, 0);
    game.roundLosers[2] = 1;
    settleRound(Scoring::score, harness.boardWindow());
    EXPECT_TRUE(harness.boxes().empty() || harness.boxes().back().caption != "Game Over");
    EXPECT_EQ(game.gameRunning, 1);
    EXPECT_EQ(game.lives[2], 0);
    EXPECT_EQ(game.lives[3], 2);
}

// A seat that loses its last life is out: the next round neither values it
// nor shows a score beside it.
TEST_F(Settlement, ASeatThatLeavesTheGameShowsNoScoreAtTheNextSettlement)
{
    setLives(4, 1, 4, 4);
    setValues(20, 15, 25, 25);
    game.roundLosers[2] = 1;
    settleRound(Scoring::score, harness.boardWindow());
    ASSERT_EQ(game.lives[2], 0);
    ASSERT_EQ(game.gameRunning, 1);
    EXPECT_EQ(game.handValue[2], 0.0);
    std::string westShows = "not shown";
    platform::headless::setPauseObserver([&](int units) {
        if (units == 50)
            westShows = bubbleText(harness, seatWest);
    });
    settleRound(Scoring::score, harness.boardWindow());
    EXPECT_EQ(westShows, "");
}

TEST_F(Settlement, LivesNeverGoBelowZero)
{
    setLives(4, 0, 4, 4);
    setValues(20, 0.0, 25, 25);
    game.roundLosers[2] = 1;
    settleRound(Scoring::score, harness.boardWindow());
    EXPECT_EQ(game.lives[2], 0);
}

TEST_F(Settlement, NextRoundMovesTheDealerOnAndClearsTheRoundFlags)
{
    setLives(4, 4, 0, 4);
    game.dealerSeat = seatWest;
    // The round being settled ended on three aces after a Stop.
    game.threeAcesFlag = 1;
    game.stopCalled = 1;
    game.roundClosing = 1;
    game.firstTurnOfRound = 0;
    settleRound(Scoring::score, harness.boardWindow());
    for (Seat seat = 1; seat <= 4; ++seat)
        ASSERT_LT(game.handValue[seat], 31.0) << "the deal itself closes the round; pin other seconds";
    EXPECT_EQ(game.gameRunning, 1);
    EXPECT_EQ(game.dealerSeat, seatEast);  // north is out of the game
    EXPECT_EQ(game.currentSeat, seatSouth);
    EXPECT_EQ(game.finishedFlags[seatNorth], 1);
    EXPECT_EQ(game.roundClosing, 0);
    EXPECT_EQ(game.stopCalled, 0);
    EXPECT_EQ(game.threeAcesFlag, 0);
    EXPECT_EQ(game.firstTurnOfRound, 1);
}

TEST_F(Settlement, AllEqualRoundIsDealtAgainWithoutScoring)
{
    setValues(24, 24, 24, 24);
    game.dealerSeat = seatEast;
    const auto pausesBefore = harness.pauseUnits();
    settleRound(Scoring::redeal, harness.boardWindow());
    // Nothing is shown or scored; the human deals next and is asked at once.
    ASSERT_EQ(harness.boxes().size(), 1u);
    EXPECT_EQ(harness.boxes()[0].text, "Keep this cards?");
    for (Seat seat = 1; seat <= 4; ++seat)
        EXPECT_EQ(game.lives[seat], 4);
    EXPECT_EQ(game.dealerSeat, seatSouth);
    EXPECT_EQ(game.currentSeat, seatWest);
    // No 50-unit wait: only the dealer's choice (the human dealer's box takes no pause units of its own).
    EXPECT_EQ(harness.pauseUnits() - pausesBefore, 14);
}

TEST_F(Settlement, AfterGameOverTapsDoNothingUntilNew)
{
    setLives(1, 2, 2, 2);
    game.roundLosers[1] = 1;
    for (Seat seat = 1; seat <= 4; ++seat)
        game.finishedFlags[seat] = 1;
    setValues(7, 20, 20, 20);
    runTurns(harness.boardWindow());
    EXPECT_EQ(game.gameRunning, 0);
    for (int id = ids::controlTable1; id <= ids::controlPass; ++id)
        EXPECT_FALSE(harness.controlVisible(id)) << id;
    GameState before;
    std::memcpy(&before, &game, sizeof game);
    harness.tapControl(ids::controlSouth1);  // hidden: the centre of its place hits nothing
    harness.tapBoard(75, 200);
    harness.tapBoard(80, 177);
    EXPECT_EQ(0, std::memcmp(&before, &game, sizeof game));
}
