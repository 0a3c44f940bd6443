// The simulator's own parts: the soundness check must see the faults it is
// there to catch, and the scripted humans must play as described. The
// simulator as a program is checked from outside by simulator_test.sh.
#include "tests/CardHelpers.h"

#include "app/Program.h"
#include "app/Shell.h"
#include "model/GameState.h"
#include "platform/Headless.h"
#include "resources/BoardIds.h"
#include "tools/FreshProcess.h"
#include "tools/ScriptedHuman.h"
#include "tools/SettlementCheck.h"
#include "tools/SoundnessCheck.h"
#include "ui/Controls.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace testing_support;

namespace {

// A fresh process with a game running and the human to move.
class SimulatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim::startFreshProcess());
        platform::headless::pinSeconds(17);
        platform::headless::Observer observer;
        observer.commandChosen = [this](int command) { commands.push_back(command); };
        platform::headless::setObserver(observer);
        sim::queueHumanInput(sim::HumanInput::newGame());
        runMessageLoop();
        ASSERT_TRUE(game.gameRunning);
        std::fill(std::begin(livesBefore), std::end(livesBefore), std::int16_t{4});
    }

    void TearDown() override
    {
        platform::headless::setObserver({});
        platform::headless::setBoxAnswerer(nullptr);
    }

    // Puts the human to move in the middle of a round with these cards and buttons.
    void humanToMove(CardRecord h0, CardRecord h1, CardRecord h2, CardRecord t0, CardRecord t1, CardRecord t2,
                     Buttons buttons)
    {
        setHand(seatSouth, h0, h1, h2);
        setTable(t0, t1, t2);
        game.currentSeat = seatSouth;
        offerButtons(buttons);
    }

    int tappedControl(const sim::HumanInput& input) const
    {
        EXPECT_EQ(input.kind, sim::HumanInput::Kind::tap);
        for (int id : {ids::controlTable1, ids::controlTable2, ids::controlTable3, ids::controlSouth1,
                       ids::controlSouth1 + 1, ids::controlSouth1 + 2, ids::controlStop, ids::controlPass}) {
            const platform::Rect rect = platform::getWindowRect(controlHandle(id));
            if (input.x >= rect.left && input.x < rect.right && input.y >= rect.top && input.y < rect.bottom)
                return id;
        }
        return 0;
    }

    std::vector<int> commands;
    std::int16_t livesBefore[5] = {};
    std::mt19937_64 random{5};
};

// ---- The soundness check -----------------------------------------------------------

using SoundnessCheck = SimulatorTest;

TEST_F(SoundnessCheck, AGameJustStartedIsSound)
{
    EXPECT_EQ(sim::soundnessProblem(livesBefore), "");
}

TEST_F(SoundnessCheck, ACardInTwoPlacesIsReported)
{
    game.hands[seatWest][1] = game.TableCards[2];
    EXPECT_NE(sim::soundnessProblem(livesBefore).find("two places"), std::string::npos);
}

TEST_F(SoundnessCheck, ADeckWithARepeatedCardIsReported)
{
    game.Deck[30] = game.Deck[3];
    EXPECT_NE(sim::soundnessProblem(livesBefore).find("permutation"), std::string::npos);
}

TEST_F(SoundnessCheck, LivesRisingDuringAGameAreReported)
{
    livesBefore[seatNorth] = 2;
    game.lives[seatNorth] = 3;
    EXPECT_NE(sim::soundnessProblem(livesBefore).find("rose"), std::string::npos);
}

TEST_F(SoundnessCheck, LivesOutOfRangeAreReported)
{
    game.lives[seatEast] = -1;
    EXPECT_NE(sim::soundnessProblem(livesBefore).find("-1 lives"), std::string::npos);
}

TEST_F(SoundnessCheck, WaitingWithAComputerSeatToMoveIsReported)
{
    game.currentSeat = seatNorth;
    EXPECT_NE(sim::soundnessProblem(livesBefore).find("seat 3 to move"), std::string::npos);
}

TEST_F(SoundnessCheck, WaitingWithNeitherButtonIsReported)
{
    offerButtons(Buttons::none);
    EXPECT_NE(sim::soundnessProblem(livesBefore).find("neither Stop nor Pass"), std::string::npos);
}

TEST_F(SoundnessCheck, AButtonLeftAfterTheGameIsReported)
{
    game.gameRunning = 0;
    offerButtons(Buttons::passOnly);
    EXPECT_NE(sim::soundnessProblem(livesBefore).find("no game running"), std::string::npos);
}

// ---- The settlement check -----------------------------------------------------------

// Hands worth 20, 25, 25 and 18, recorded as dealt; seat 4 alone should lose.
class SettlementCheckTest : public SimulatorTest {
protected:
    void SetUp() override
    {
        SimulatorTest::SetUp();
        for (Seat seat = 1; seat <= seatCount; ++seat)
            game.lives[seat] = 4;
        setHand(seatSouth, card(king, clubs), card(queen, clubs), card(7, diamonds));
        setHand(seatWest, card(7, spades), card(8, spades), card(10, spades));
        setHand(seatNorth, card(7, hearts), card(8, hearts), card(10, hearts));
        setHand(seatEast, card(8, diamonds), card(10, diamonds), card(7, clubs));
        record(20, 25, 25, 18);
        game.threeAcesFlag = 0;
        ASSERT_EQ(check.roundDealt(), "");
    }

    void record(double south, double west, double north, double east)
    {
        const double values[] = {0.0, south, west, north, east};
        std::copy(std::begin(values), std::end(values), game.handValue);
    }

    void takeLives(std::initializer_list<Seat> losers)
    {
        for (Seat seat : losers)
            game.lives[seat] -= 1;
    }

    sim::SettlementCheck check;
};

bool mentions(const std::string& problem, const char* text)
{
    return problem.find(text) != std::string::npos;
}

TEST_F(SettlementCheckTest, TheLowestHandLosingItsLifeIsSound)
{
    takeLives({seatEast});
    EXPECT_EQ(check.settled(true), "");
}

TEST_F(SettlementCheckTest, AValueNotRecordedIsReportedWithTheSeatAndItsCards)
{
    game.handValue[seatEast] = 0.0;  // the game would then find east's 0 no hand at all
    takeLives({seatNorth});
    const std::string problem = check.settled(true);
    EXPECT_TRUE(mentions(problem, "seat 4 holds [\"8d\",\"Td\",\"7c\"] worth 18, recorded 0")) << problem;
    EXPECT_TRUE(mentions(problem, "should be 4, the game took a life from 3")) << problem;
}

TEST_F(SettlementCheckTest, TheWrongLoserOrALifeTooManyIsReported)
{
    takeLives({seatNorth});
    EXPECT_TRUE(mentions(check.settled(true), "'the lowest live hands lose, ties all lose'"));
    SetUp();
    takeLives({seatEast, seatEast});
    EXPECT_TRUE(mentions(check.settled(true), "the game took a life from 4"));
}

TEST_F(SettlementCheckTest, TiedLowestHandsAllLose)
{
    setHand(seatWest, card(8, clubs), card(10, clubs), card(7, spades));  // 18, as east
    record(20, 18, 25, 18);
    takeLives({seatEast});
    EXPECT_TRUE(mentions(check.settled(true), "should be 2, 4, the game took a life from 4"));
}

TEST_F(SettlementCheckTest, AfterThreeAcesEverySeatWithoutTheBestHandLoses)
{
    setHand(seatSouth, card(ace, spades), card(king, spades), card(queen, spades));  // 31
    setHand(seatWest, card(ace, clubs), card(ace, diamonds), card(ace, hearts));     // 91.5
    record(31, 91.5, 25, 18);
    game.threeAcesFlag = 1;
    ASSERT_EQ(check.roundDealt(), "");
    takeLives({seatEast});
    EXPECT_TRUE(mentions(check.settled(true), "should be 1, 3, 4, the game took a life from 4"));
    SetUp();
    game.threeAcesFlag = 1;  // raised with no three aces in any hand
    takeLives({seatEast});
    EXPECT_TRUE(mentions(check.settled(true), "three aces were not held this round, the game's flag is 1"));
}

TEST_F(SettlementCheckTest, FourEqualHandsAreDealtAgainWithNoLifeLost)
{
    setHand(seatSouth, card(7, clubs), card(8, clubs), card(9, clubs));
    setHand(seatWest, card(7, diamonds), card(8, diamonds), card(9, diamonds));
    setHand(seatNorth, card(7, hearts), card(8, hearts), card(9, hearts));
    setHand(seatEast, card(7, spades), card(8, spades), card(9, spades));
    record(24, 24, 24, 24);
    EXPECT_EQ(check.settled(false), "");
    SetUp();
    setHand(seatSouth, card(7, clubs), card(8, clubs), card(9, clubs));
    setHand(seatWest, card(7, diamonds), card(8, diamonds), card(9, diamonds));
    setHand(seatNorth, card(7, hearts), card(8, hearts), card(9, hearts));
    setHand(seatEast, card(7, spades), card(8, spades), card(9, spades));
    record(24, 24, 24, 24);
    takeLives({seatSouth, seatWest, seatNorth, seatEast});
    EXPECT_TRUE(mentions(check.settled(true), "'four equal hands are dealt again and nobody loses'"));
    SetUp();
    EXPECT_TRUE(mentions(check.settled(false), "values 20, 25, 25, 18 were dealt again"));
}

TEST_F(SettlementCheckTest, TheGameEndsExactlyWhenTheHumanOrAllComputerSeatsAreOut)
{
    game.lives[seatSouth] = 1;
    setHand(seatSouth, card(8, hearts), card(9, clubs), card(7, clubs));  // 16: the lowest
    record(16, 25, 25, 18);
    ASSERT_EQ(check.roundDealt(), "");
    takeLives({seatSouth});
    ASSERT_EQ(check.settled(true), "");
    EXPECT_TRUE(mentions(check.gameOverBox("You Win..."), "\"You Win...\" with lives 0, 4, 4, 4"));
    ASSERT_EQ(check.settled(true), "");
    EXPECT_TRUE(mentions(check.roundDealt(), "a round was dealt with lives 0, 4, 4, 4"));
    SetUp();
    takeLives({seatEast});
    ASSERT_EQ(check.settled(true), "");
    EXPECT_TRUE(mentions(check.gameOverBox("You Lose..."), "\"You Lose...\""));
}

// ---- Scripted input ---------------------------------------------------------------------

using ScriptedInput = SimulatorTest;

TEST_F(ScriptedInput, NewGoesThroughTheMenuAsAMenuChoice)
{
    EXPECT_EQ(commands, std::vector<int>{ids::commandNew});
}

TEST_F(ScriptedInput, AboutIsOneCommandAndLeavesNoDialogOpen)
{
    commands.clear();
    const int dialogsBefore = platform::headless::dialogCount();
    sim::queueHumanInput(sim::HumanInput::aboutAndClose());
    runMessageLoop();
    EXPECT_EQ(commands, std::vector<int>{ids::commandAbout});
    EXPECT_EQ(platform::headless::dialogCount(), dialogsBefore + 1);
    EXPECT_FALSE(platform::headless::dialogOpen());
}

TEST_F(ScriptedInput, GreedyTakesTheTableCardThatMakesThirtyOne)
{
    humanToMove(card(ace, clubs), card(7, hearts), card(king, clubs), card(8, spades), card(queen, clubs),
                card(9, diamonds), Buttons::stopAndPass);
    sim::ScriptedHuman human(sim::Strategy::greedy, random);
    EXPECT_EQ(tappedControl(human.nextInput()), ids::controlSouth1 + 1);
    EXPECT_EQ(tappedControl(human.nextInput()), ids::controlTable2);
}

TEST_F(ScriptedInput, GreedyTakesTheWholeTableWhenItIsWorthMore)
{
    humanToMove(card(7, clubs), card(8, diamonds), card(9, hearts), card(ace, spades), card(king, spades),
                card(10, spades), Buttons::passOnly);
    sim::ScriptedHuman human(sim::Strategy::greedy, random);
    EXPECT_EQ(tappedControl(human.nextInput()), ids::controlSouth1);
    EXPECT_EQ(tappedControl(human.nextInput()), ids::controlSouth1 + 1);
    EXPECT_EQ(tappedControl(human.nextInput()), ids::controlSouth1 + 2);
}

TEST_F(ScriptedInput, GreedyStopsAtTwentySevenButNotBelow)
{
    // Nothing on the table improves either hand.
    humanToMove(card(ace, hearts), card(king, hearts), card(7, hearts), card(7, clubs), card(8, diamonds),
                card(9, spades), Buttons::stopAndPass);
    sim::ScriptedHuman satisfied(sim::Strategy::greedy, random);
    EXPECT_EQ(tappedControl(satisfied.nextInput()), ids::controlStop);  // 28

    humanToMove(card(ace, hearts), card(8, hearts), card(7, hearts), card(7, clubs), card(8, diamonds), card(9, spades),
                Buttons::stopAndPass);
    sim::ScriptedHuman hopeful(sim::Strategy::greedy, random);
    EXPECT_EQ(tappedControl(hopeful.nextInput()), ids::controlPass);  // 26
}

TEST_F(ScriptedInput, PassivePassesUntilItsPatienceRunsOut)
{
    humanToMove(card(7, clubs), card(8, diamonds), card(9, hearts), card(ace, spades), card(king, spades),
                card(10, spades), Buttons::stopAndPass);
    sim::ScriptedHuman human(sim::Strategy::passive, random);
    for (int input = 1; input <= sim::ScriptedHuman::patience; ++input)
        ASSERT_EQ(tappedControl(human.nextInput()), ids::controlPass) << "input " << input;
    EXPECT_EQ(tappedControl(human.nextInput()), ids::controlStop);
    human.roundDealt();
    EXPECT_EQ(tappedControl(human.nextInput()), ids::controlPass);
}

TEST_F(ScriptedInput, RandomNeverTapsTheMenuBarOrTheTitleBar)
{
    sim::ScriptedHuman human(sim::Strategy::random, random);
    for (int input = 0; input < 5000; ++input) {
        const sim::HumanInput chosen = human.nextInput();
        if (chosen.kind != sim::HumanInput::Kind::tap)
            continue;
        ASSERT_GE(chosen.y, platform::titleBarHeight);
        ASSERT_LT(chosen.y, platform::screenHeight - platform::menuBarHeight);
    }
}

}  // namespace
