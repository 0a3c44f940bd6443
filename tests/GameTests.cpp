// Whole games from "New" to the game-over box, a scripted human tapping at
// random, with the record checked after every input.
#include "tests/Harness.h"

#include "resources/BoardIds.h"
#include "tools/SoundnessCheck.h"

#include <gtest/gtest.h>

#include <random>

using namespace testing_support;

namespace {

struct GameResult {
    bool ended = false;
    bool won = false;
    int inputs = 0;
};

// What the player sees at the pauses of a whole game: every pause shows the
// screen as it stands (nothing drawn stays unseen until later), and the
// round's result is waited for with every live computer seat's cards face up.
struct PauseChecks {
    unsigned seed = 0;
    int reveals = 0;

    void atPause(const Harness& harness, int units)
    {
        const platform::headless::Frame* shown = platform::headless::lastFrame();
        ASSERT_NE(shown, nullptr);
        // A sparse grid of the screen: a frame not presented differs almost everywhere.
        for (int y = 1; y < platform::screenHeight; y += 5) {
            for (int x = 2; x < platform::screenWidth; x += 5)
                ASSERT_EQ(shown->pixel(x, y), platform::headless::pixel(x, y))
                    << "seed " << seed << ": a pause of " << units << " shows an old frame at " << x << "," << y;
        }
        if (units != 50)
            return;
        ++reveals;
        for (Seat seat = seatWest; seat <= seatEast; ++seat) {
            if (game.handValue[seat] == 0.0)  // out before this round
                continue;
            for (int position = 0; position < 3; ++position) {
                const platform::Rect place = harness.controlRect(ids::firstControlOfSeat(seat) + position);
                const CardRecord& held = game.hands[seat][position];
                const int face = seat == seatNorth ? held.uprightFace : held.sideFace;
                EXPECT_TRUE(frameShowsImage(*shown, place.left, place.top, face))
                    << "seed " << seed << ": seat " << seat << " card " << position << " not shown at the result";
            }
        }
    }
};

GameResult playOneGame(unsigned seed, PauseChecks* checks = nullptr)
{
    Harness harness(static_cast<int>(seed % 60));
    std::mt19937 random(seed);
    GameResult result;
    if (checks)
        platform::headless::setPauseObserver([&harness, checks](int units) { checks->atPause(harness, units); });
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
    platform::headless::setPauseObserver(nullptr);
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

TEST(WholeGames, EveryPauseShowsTheScreenAndTheResultShowsEveryComputerHand)
{
    for (unsigned seed = 21; seed <= 25; ++seed) {
        PauseChecks checks{seed};
        const GameResult result = playOneGame(seed, &checks);
        EXPECT_TRUE(result.ended) << "seed " << seed;
        EXPECT_GT(checks.reveals, 0) << "seed " << seed;
    }
}
