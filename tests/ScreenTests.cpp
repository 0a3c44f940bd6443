// The indexed screen against the plain way of drawing, and the shortcuts the
// fuzzer takes: starting from a snapshot, and drawing no pixels at all.
#include "app/Program.h"
#include "model/GameEvents.h"
#include "model/GameState.h"
#include "platform/Core.h"
#include "platform/Headless.h"
#include "tools/FreshProcess.h"
#include "tools/ScriptedHuman.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>

namespace {

namespace headless = platform::headless;

// FNV-1a over the whole screen, read one pixel at a time.
template <class ReadPixel>
std::uint64_t screenHash(ReadPixel read)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (int y = 0; y < platform::screenHeight; ++y) {
        for (int x = 0; x < platform::screenWidth; ++x) {
            const std::uint32_t pixel = read(x, y);
            for (int shift = 0; shift < 32; shift += 8) {
                hash ^= (pixel >> shift) & 0xFFu;
                hash *= 1099511628211ull;
            }
        }
    }
    return hash;
}

std::uint64_t shownHash()
{
    return screenHash(headless::pixel);
}
std::uint64_t referenceHash()
{
    return screenHash(headless::referencePixel);
}

std::string firstDifference()
{
    for (int y = 0; y < platform::screenHeight; ++y) {
        for (int x = 0; x < platform::screenWidth; ++x) {
            if (headless::pixel(x, y) != headless::referencePixel(x, y))
                return "first difference at " + std::to_string(x) + "," + std::to_string(y);
        }
    }
    return "no difference";
}

sim::ScriptedHuman* human = nullptr;
void roundDealt()
{
    human->roundDealt();
}

// Plays `inputs` inputs of a seeded human from the current process state,
// calling `afterInput` after each one and `inBox` while each box is open.
template <class AfterInput, class InBox>
void play(sim::Strategy strategy, std::uint64_t seed, int inputs, AfterInput afterInput, InBox inBox)
{
    std::mt19937_64 random(seed);
    sim::ScriptedHuman player(strategy, random);
    human = &player;
    gameWatcher.dealt = roundDealt;
    headless::setBoxAnswerer([&](std::string_view text, std::string_view, platform::BoxButtons buttons) {
        inBox();
        return player.answerBox(text, buttons);
    });
    headless::setClockMilliseconds(static_cast<std::int64_t>(seed) * 7919);
    for (int input = 0; input < inputs && !headless::exited(); ++input) {
        sim::queueHumanInput(game.gameRunning ? player.nextInput() : sim::HumanInput::newGame());
        runMessageLoop();
        afterInput(input);
    }
    headless::setBoxAnswerer(nullptr);
    gameWatcher.dealt = nullptr;
    human = nullptr;
}

class IndexedScreen : public ::testing::Test {
protected:
    void SetUp() override { headless::keepReferencePixels(true); }
    void TearDown() override { headless::keepReferencePixels(false); }
};

// The reference path resolves every colour as it draws and copies pixel by
// pixel; the screen shown holds indices looked up once per frame. After every
// input, and with every box open, both must show the same picture.
TEST_F(IndexedScreen, ShowsWhatThePlainPathDrawsAfterEveryInputOfWholeGames)
{
    const struct {
        sim::Strategy strategy;
        std::uint64_t seed;
    } runs[] = {{sim::Strategy::random, 3}, {sim::Strategy::greedy, 5}, {sim::Strategy::passive, 11}};
    for (const auto& run : runs) {
        ASSERT_TRUE(sim::startFreshProcess());
        ASSERT_NE(headless::referencePixel(0, 0), 0u) << "the reference path is not drawing";
        const std::string where = std::string(sim::strategyName(run.strategy)) + " seed " + std::to_string(run.seed);
        int boxes = 0;
        play(
            run.strategy, run.seed, 150,
            [&](int input) {
                ASSERT_EQ(shownHash(), referenceHash())
                    << where << ", after input " << input << ": " << firstDifference();
            },
            [&] {
                ++boxes;
                ASSERT_EQ(shownHash(), referenceHash()) << where << ", box " << boxes << ": " << firstDifference();
            });
        EXPECT_GT(boxes, 0) << where << ": no box was compared";
    }
}

// The headless back end is handed no frames, so the composed screen is only
// built when asked for; asked for, it is what a person sees, box on top.
TEST(ComposedScreen, ShowsWhatAPersonSeesAfterEveryInputAndWithEveryBoxOpen)
{
    namespace core = platform::core;
    // Composed before pixel() reads the screen, which settles it on its own.
    const auto composedMatches = [] {
        const core::PixelBuffer& composed = core::composeScreen();
        if (composed.pixels.size() != static_cast<std::size_t>(platform::screenWidth * platform::screenHeight))
            return false;
        const std::uint64_t hash = screenHash([&](int x, int y) {
            return core::screenPalette()[composed.pixels[static_cast<std::size_t>(y * platform::screenWidth + x)]];
        });
        return hash == shownHash();
    };
    ASSERT_TRUE(sim::startFreshProcess());
    int boxes = 0;
    play(
        sim::Strategy::greedy, 5, 60, [&](int input) { ASSERT_TRUE(composedMatches()) << "input " << input; },
        [&] {
            ++boxes;
            ASSERT_TRUE(composedMatches()) << "box " << boxes;
        });
    EXPECT_GT(boxes, 0) << "no box was compared";
}

// What a run does after an input, in a form two runs can be compared in.
struct Moment {
    GameState game;
    std::int64_t pauseUnits;
    int boxes;
};

bool sameMoments(const std::vector<Moment>& a, const std::vector<Moment>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::memcmp(&a[i].game, &b[i].game, sizeof(GameState)) != 0 || a[i].pauseUnits != b[i].pauseUnits ||
            a[i].boxes != b[i].boxes)
            return false;
    }
    return true;
}

std::vector<Moment> playAndRecord(std::uint64_t seed, std::vector<std::uint64_t>* hashes)
{
    std::vector<Moment> moments;
    play(
        sim::Strategy::random, seed, 120,
        [&](int) {
            moments.push_back({game, headless::pauseUnits(), headless::boxCount()});
            if (hashes)
                hashes->push_back(shownHash());
        },
        [] {});
    return moments;
}

TEST(StartingPoint, ARunFromASnapshotPlaysAsFromAFreshProcessAndDrawsTheSame)
{
    ASSERT_TRUE(sim::startFreshProcess());
    std::vector<std::uint64_t> freshHashes;
    const std::vector<Moment> fresh = playAndRecord(42, &freshHashes);

    ASSERT_TRUE(sim::startFreshProcess());
    const auto snapshot = sim::saveProcess();
    playAndRecord(7, nullptr);  // something else first, to leave the process far from the snapshot
    sim::restoreProcess(*snapshot);
    std::vector<std::uint64_t> restoredHashes;
    EXPECT_TRUE(sameMoments(playAndRecord(42, &restoredHashes), fresh));
    EXPECT_EQ(restoredHashes, freshHashes);
}

TEST(StartingPoint, SkippingPixelsLeavesTheGameAsItWas)
{
    ASSERT_TRUE(sim::startFreshProcess());
    const auto snapshot = sim::saveProcess();
    const std::vector<Moment> drawn = playAndRecord(9, nullptr);
    sim::restoreProcess(*snapshot);
    headless::skipPixels(true);
    const std::uint64_t before = shownHash();
    EXPECT_TRUE(sameMoments(playAndRecord(9, nullptr), drawn));
    EXPECT_EQ(shownHash(), before) << "a pixel moved while pixels were skipped";
}

}  // namespace
