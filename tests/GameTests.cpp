// Whole games from "New" to the game-over box, a scripted human tapping at
// random, with the record checked after every input.
#include "tests/Harness.h"

#include "resources/BoardIds.h"
#include "tools/SimulatorSupport.h"

#include <gtest/gtest.h>

#include <random>

using namespace testing_support;

namespace {

struct GameResult {
    bool ended = false;
    bool won = false;
    int inputs = 0;
};

GameResult playOneGame(unsigned seed)
{
    Harness harness(static_cast<int>(seed % 60));
    std::mt19937 random(seed);
    GameResult result;
    std::string lastBox;
    platform::headless::setBoxAnswerer([&](std::string_view text, std::string_view, platform::BoxButtons buttons) {
        lastBox = text;
        if (buttons == platform::BoxButtons::yesNo)
            return random() % 2 ? platform::answerYes : platform::answerNo;
        return platform::answerOk;
    });
    harness.command(ids::commandNew);
    std::int16_t livesBefore[5];
    std::copy(std::begin(game.lives), std::end(game.lives), livesBefore);
    constexpr int maximumInputs = 20000;
    while (game.gameRunning && result.inputs < maximumInputs) {
        harness.pinSeconds(static_cast<int>(random() % 60));
        const int pick = static_cast<int>(random() % 100);
        if (pick < 3) {
            harness.tapBoard(static_cast<int>(random() % 240), static_cast<int>(random() % 268));
        } else if (pick < 70) {
            harness.tapControl(ids::controlTable1 + static_cast<int>(random() % 6));
        } else if (pick < 85) {
            harness.tapControl(ids::controlPass);
        } else {
            harness.tapControl(ids::controlStop);
        }
        ++result.inputs;
        const std::string problem = sim::soundnessProblem(livesBefore);
        EXPECT_EQ(problem, "") << "seed " << seed << " after input " << result.inputs;
        if (!problem.empty())
            break;
        std::copy(std::begin(game.lives), std::end(game.lives), livesBefore);
    }
    result.ended = !game.gameRunning;
    result.won = lastBox == "You Win...";
    if (result.ended) {
        EXPECT_TRUE(lastBox == "You Win..." || lastBox == "You Lose...") << "seed " << seed;
        for (int id = ids::controlTable1; id <= ids::controlLastCard; ++id)
            EXPECT_FALSE(harness.controlVisible(id)) << "seed " << seed;
    }
    return result;
}

}  // namespace

TEST(WholeGames, RandomHumanGamesStaySoundAndEnd)
{
    int wins = 0;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        const GameResult result = playOneGame(seed);
        EXPECT_TRUE(result.ended) << "seed " << seed << " did not end in " << result.inputs << " inputs";
        wins += result.won ? 1 : 0;
    }
    RecordProperty("wins", wins);
}
