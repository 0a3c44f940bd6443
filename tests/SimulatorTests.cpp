// The simulator's own parts: the soundness check must see the faults it is
// there to catch, and the scripted humans must play as described. The
// simulator as a program is checked from outside by simulator_test.sh.
#include "tests/CardHelpers.h"

#include "app/Program.h"
#include "app/Shell.h"
#include "model/GameState.h"
#include "platform/Headless.h"
#include "resources/BoardIds.h"
#include "tools/SimulatorSupport.h"
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
