// Sound: the cues' own sounds, sound on and off on the headless back end,
// the player's setting (M, --mute, what is kept), and whole games whose
// cues are checked against what each frame shows and what the game did.
#include "tests/Harness.h"

#include "app/Sound.h"
#include "flow/Settlement.h"
#include "model/GameEvents.h"
#include "platform/CueSound.h"
#include "resources/BoardIds.h"
#include "resources/ResourceIds.h"
#include "ui/Drawing.h"
#include "ui/ImageTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

using namespace testing_support;
using platform::Cue;

namespace {

const char* nameOf(Cue cue)
{
    return platform::sound::cueName(cue);
}

// ---- The cues' sounds and the switch ------------------------------------------------------

// Sign changes per second over [from, to) of the samples: twice the pitch of a plain tone.
double crossingsPerSecond(const std::vector<float>& samples, std::size_t from, std::size_t to)
{
    int crossings = 0;
    for (std::size_t i = from + 1; i < to; ++i)
        crossings += (samples[i - 1] < 0.0f) != (samples[i] < 0.0f) ? 1 : 0;
    return crossings * static_cast<double>(platform::sound::sampleRate) / static_cast<double>(to - from);
}

TEST(CueSounds, EachIsShortAudibleUnclippedAndClickFreeAndGoodNewsClimbsWhileBadNewsSinks)
{
    const std::size_t millisecond = platform::sound::sampleRate / 1000;
    for (int index = 0; index < platform::cueCount; ++index) {
        const Cue cue = static_cast<Cue>(index);
        const std::vector<float> samples = platform::sound::cueSamples(cue);
        ASSERT_GE(samples.size(), 5 * millisecond) << nameOf(cue);
        EXPECT_LE(samples.size(), 600 * millisecond) << nameOf(cue);
        float peak = 0.0f;
        for (float sample : samples)
            peak = std::max(peak, std::abs(sample));
        EXPECT_GT(peak, 0.1f) << nameOf(cue) << " is barely audible";
        EXPECT_LT(peak, 1.0f) << nameOf(cue) << " clips";
        // A sound that jumps from or to silence clicks: through its first and
        // last millisecond it stays under a quarter of its peak.
        for (std::size_t i = 0; i < millisecond; ++i) {
            EXPECT_LT(std::abs(samples[i]), peak / 4) << nameOf(cue) << " starts with a click";
            EXPECT_LT(std::abs(samples[samples.size() - 1 - i]), peak / 4) << nameOf(cue) << " ends with a click";
        }
    }
    // The second half's pitch against the first's.
    for (const auto& [cue, rises] : {std::pair{Cue::yourTurn, true}, std::pair{Cue::gameWon, true},
                                     std::pair{Cue::lifeLost, false}, std::pair{Cue::gameLost, false}}) {
        const std::vector<float> samples = platform::sound::cueSamples(cue);
        const double first = crossingsPerSecond(samples, 0, samples.size() / 2);
        const double second = crossingsPerSecond(samples, samples.size() / 2, samples.size());
        EXPECT_TRUE(rises ? second > first * 1.1 : second < first / 1.1)
            << nameOf(cue) << ": " << first << ", " << second;
    }
}

std::vector<Cue> cuesHeard()
{
    std::vector<Cue> heard;
    for (const platform::headless::SoundedCue& sounded : platform::headless::cues())
        heard.push_back(sounded.cue);
    return heard;
}

TEST(SoundSwitch, CuesAreKeptWhileSoundIsOnTheLatestOnlyAndEachProcessStartsWithItOn)
{
    platform::headless::install();
    platform::playCue(Cue::pass);
    platform::setSoundOn(false);
    platform::playCue(Cue::stop);
    platform::setSoundOn(true);
    platform::waitUnits(3);
    platform::playCue(Cue::yourTurn);
    EXPECT_EQ(cuesHeard(), (std::vector<Cue>{Cue::pass, Cue::yourTurn}));
    EXPECT_EQ(platform::headless::cues().back().pauseTotal, 3);
    // One more than it keeps: the first is dropped.
    for (std::size_t i = 1; i < platform::headless::cuesKept; ++i)
        platform::playCue(Cue::cardLaid);
    EXPECT_EQ(platform::headless::cues().size(), platform::headless::cuesKept);
    EXPECT_EQ(platform::headless::cues().front().cue, Cue::yourTurn);
    platform::exitProcess(0);
    platform::playCue(Cue::gameWon);
    EXPECT_EQ(platform::headless::cuesSounded(), static_cast<std::int64_t>(platform::headless::cuesKept) + 1);

    platform::setSoundOn(false);
    platform::headless::install();
    EXPECT_TRUE(platform::soundOn());
    EXPECT_TRUE(platform::headless::cues().empty());
}

// ---- The player's setting -------------------------------------------------------------

class SoundSetting : public ::testing::Test {
protected:
    void TearDown() override { gameWatcher = GameWatcher{}; }

    static std::string kept()
    {
        const std::string* text = platform::headless::playerData(settingsName);
        return text ? *text : "(nothing)";
    }
    static void keep(const std::string& text)
    {
        platform::changePlayerData(
            settingsName, [&text](const std::string*) { return text; }, problem);
    }
    static inline std::string problem;
};

TEST_F(SoundSetting, TheKeptChoiceHoldsUnlessMuteSilencesTheRunAndWhatCannotBeReadMeansOn)
{
    struct Case {
        const char* kept;  // null: nothing kept
        bool mute;
        bool on;
    };
    const Case cases[] = {
        {nullptr, false, true},
        {nullptr, true, false},
        {"zarta settings 1\nsound off\n", false, false},
        {"zarta settings 1\nsound on\n", true, false},
        {"zarta settings 1\ncolours dark\nsound off", false, false},
        {"zarta settings 1\nsound loud\n", false, true},
        {"zarta settings 2\nsound off\n", false, true},
    };
    for (const Case& each : cases) {
        Harness harness;
        if (each.kept)
            keep(each.kept);
        startSound(each.mute);
        EXPECT_EQ(platform::soundOn(), each.on) << (each.kept ? each.kept : "(nothing)") << " mute " << each.mute;
        // Starting changes nothing kept, whatever it found.
        EXPECT_EQ(kept(), each.kept ? each.kept : "(nothing)");
    }
}

TEST_F(SoundSetting, MTurnsSoundOffAndOnAndKeepsEachChoiceWithTheOtherSettings)
{
    Harness harness;
    keep("zarta settings 1\ncolours dark\nsound on\n");
    startSound(false);
    harness.key(soundKey);
    EXPECT_FALSE(platform::soundOn());
    EXPECT_EQ(kept(), "zarta settings 1\ncolours dark\nsound off\n");
    harness.command(ids::commandNew);
    EXPECT_TRUE(platform::headless::cues().empty()) << "a silenced game still sounded";
    harness.key('m');
    EXPECT_TRUE(platform::soundOn());
    EXPECT_EQ(kept(), "zarta settings 1\ncolours dark\nsound on\n");

    // A choice made in a muted run is kept; what could not be read is replaced.
    Harness muted;
    keep("garbage");
    startSound(true);
    muted.key(soundKey);
    EXPECT_TRUE(platform::soundOn());
    EXPECT_EQ(kept(), "zarta settings 1\nsound on\n");
}

// ---- The round's end ------------------------------------------------------------------

TEST(SoundOfTheRoundsEnd, TheResultThenALifeCueForEachLifeTakenThenTheGamesEndAndNothingForADealAgain)
{
    struct Case {
        const char* name;
        std::int16_t lives[5];
        std::int32_t losers[5];
        Scoring scoring;
        std::vector<Cue> first;  // the cues that start the settlement
    };
    const Case cases[] = {
        {"West loses", {0, 4, 4, 4, 4}, {0, 0, 1, 0, 0}, Scoring::score, {Cue::roundResult, Cue::lifeLost}},
        {"a tie takes two",
         {0, 4, 4, 3, 4},
         {0, 1, 0, 0, 1},
         Scoring::score,
         {Cue::roundResult, Cue::lifeLost, Cue::lifeLost}},
        {"a seat already out loses nothing",
         {0, 4, 0, 4, 4},
         {0, 0, 1, 1, 0},
         Scoring::score,
         {Cue::roundResult, Cue::lifeLost}},
        {"your last life",
         {0, 1, 2, 2, 2},
         {0, 1, 0, 0, 0},
         Scoring::score,
         {Cue::roundResult, Cue::lifeLost, Cue::gameLost}},
        {"the last computer seat's",
         {0, 3, 0, 0, 1},
         {0, 0, 0, 0, 1},
         Scoring::score,
         {Cue::roundResult, Cue::lifeLost, Cue::gameWon}},
        {"four equal hands, dealt again", {0, 4, 4, 4, 4}, {0, 0, 0, 0, 0}, Scoring::redeal, {}},
    };
    for (const Case& each : cases) {
        Harness harness(17);
        harness.command(ids::commandNew);
        std::copy(std::begin(each.lives), std::end(each.lives), std::begin(game.lives));
        std::copy(std::begin(each.losers), std::end(each.losers), std::begin(game.roundLosers));
        for (Seat seat = seatSouth; seat <= seatEast; ++seat)
            game.handValue[seat] = game.lives[seat] > 0 ? (game.roundLosers[seat] ? 20.0 : 25.0) : 0.0;
        gameWatcher = GameWatcher{};
        soundGameEvents();
        const std::size_t before = platform::headless::cues().size();
        settleRound(each.scoring, harness.boardWindow());
        const std::vector<Cue> heard = cuesHeard();
        const std::vector<Cue> after(heard.begin() + static_cast<std::ptrdiff_t>(before), heard.end());
        ASSERT_GE(after.size(), each.first.size()) << each.name;
        EXPECT_TRUE(std::equal(each.first.begin(), each.first.end(), after.begin())) << each.name;
        // What follows is the next round's, up to the human's turn: no result, no life.
        for (Cue cue : {Cue::roundResult, Cue::lifeLost})
            EXPECT_EQ(std::count(after.begin(), after.end(), cue),
                      std::count(each.first.begin(), each.first.end(), cue))
                << each.name << ": " << nameOf(cue);
    }
    gameWatcher = GameWatcher{};
}

// ---- Whole games --------------------------------------------------------------------

constexpr int kindStop = static_cast<int>(Indicator::stop);
constexpr int kindPass = static_cast<int>(Indicator::pass);

// The seat whose Stop or Pass bubble (kind) the frame shows, or 0.
Seat bubbleShown(const platform::headless::Frame& frame, int kind)
{
    for (Seat seat = seatSouth; seat <= seatEast; ++seat) {
        if (frameShowsImage(frame, BubbleOriginX[seat], BubbleOriginY[seat] + platform::titleBarHeight,
                            BubbleCallImages[kind * 5 + seat]))
            return seat;
    }
    return 0;
}

bool showsButton(const Harness& harness, const platform::headless::Frame& frame, int controlId, int imageId)
{
    const platform::Rect place = harness.controlRect(controlId);
    return frameShowsImage(frame, place.left, place.top, imageId);
}

// Each table card as it lies now, plain or selected by the seat about to move.
bool showsTable(const Harness& harness, const platform::headless::Frame& frame)
{
    for (int position = 0; position < 3; ++position) {
        const platform::Rect place = harness.controlRect(ids::controlTable1 + position);
        const CardRecord& card = game.TableCards[position];
        if (!frameShowsImage(frame, place.left, place.top, card.uprightFace) &&
            !frameShowsImage(frame, place.left, place.top, card.uprightFaceSelected))
            return false;
    }
    return true;
}

// What a game showed and did, counted from its frames and the record, not
// by the sound's hooks (exchanges aside, which no frame tells apart); and its cues.
struct GameSound {
    int bubbles[2] = {};  // by kind
    int results = 0;      // frames of a round's result
    int livesLost = 0;
    int exchanges = 0;
    std::vector<Cue> cues;
};

int exchangesSeen = 0;

// Checks that the frame a cue sounds with shows what the cue marks.
void checkCueFrame(const Harness& harness, Cue cue, const platform::headless::Frame& frame)
{
    switch (cue) {
    case Cue::stop:
    case Cue::pass:
        EXPECT_EQ(frame.pause, pauseBubble) << nameOf(cue);
        EXPECT_NE(bubbleShown(frame, cue == Cue::stop ? kindStop : kindPass), 0)
            << nameOf(cue) << " without its bubble";
        break;
    case Cue::roundResult:
    case Cue::lifeLost:
        EXPECT_EQ(frame.pause, pauseRoundResult) << nameOf(cue);
        break;
    case Cue::gameWon:
    case Cue::gameLost:
        EXPECT_TRUE(frame.modal) << nameOf(cue) << " before the game-over box";
        break;
    case Cue::yourTurn:
        EXPECT_EQ(frame.pause, 0) << "your turn sounded during a pause";
        EXPECT_TRUE(showsButton(harness, frame, ids::controlPass, res::imagePassNormal) ||
                    showsButton(harness, frame, ids::controlStop, res::imageStopNormal))
            << "your turn sounded with neither Stop nor Pass shown";
        break;
    case Cue::cardLaid:
        EXPECT_TRUE(showsTable(harness, frame)) << "the exchange is not shown";
        break;
    }
}

// A whole game at the classic table, the human's moves drawn from `seed`;
// each cue is checked with its frame, and each of the human's turns for
// its one your-turn cue.
GameSound playGame(unsigned seed, bool soundOn)
{
    SCOPED_TRACE("seed " + std::to_string(seed));
    Harness harness(static_cast<int>(seed % 60));
    gameWatcher = GameWatcher{};
    exchangesSeen = 0;
    gameWatcher.exchanged = [](Seat, int, int) { ++exchangesSeen; };
    soundGameEvents();
    platform::setSoundOn(soundOn);
    std::mt19937 random(seed);
    harness.queueAnswers({random() % 2 ? platform::answerYes : platform::answerNo});

    GameSound result;
    std::int16_t lives[5];
    std::copy(std::begin(game.lives), std::end(game.lives), lives);
    std::size_t checked = 0;  // cues checked against their frame
    platform::headless::setFrameObserver([&](const platform::headless::Frame& frame) {
        for (int kind : {kindStop, kindPass})
            result.bubbles[kind] += frame.pause == pauseBubble && bubbleShown(frame, kind) != 0 ? 1 : 0;
        result.results += frame.pause == pauseRoundResult ? 1 : 0;
        for (Seat seat = seatSouth; seat <= seatEast; ++seat) {
            result.livesLost += std::max(0, lives[seat] - game.lives[seat]);
            lives[seat] = game.lives[seat];
        }
        const auto& cues = platform::headless::cues();
        for (; checked < cues.size() && cues[checked].frame <= frame.sequence; ++checked) {
            ASSERT_EQ(cues[checked].frame, frame.sequence) << nameOf(cues[checked].cue) << " sounded unseen";
            checkCueFrame(harness, cues[checked].cue, frame);
        }
    });

    harness.command(ids::commandNew);
    const auto yourTurnsSince = [](std::int64_t from) {
        const auto& cues = platform::headless::cues();
        return std::count_if(cues.end() - (platform::headless::cuesSounded() - from), cues.end(),
                             [](const platform::headless::SoundedCue& c) { return c.cue == Cue::yourTurn; });
    };
    std::int64_t atLastMove = 0;
    for (int moves = 0; game.gameRunning && moves < 2000; ++moves) {
        const bool stop = harness.controlVisible(ids::controlStop);
        const bool pass = harness.controlVisible(ids::controlPass);
        EXPECT_TRUE(stop || pass) << "the program waits, yet it is not the human's turn";
        EXPECT_EQ(yourTurnsSince(atLastMove), soundOn ? 1 : 0) << "move " << moves;
        atLastMove = platform::headless::cuesSounded();
        const int pick = static_cast<int>(random() % 10);
        if (pass && pick < 4) {
            harness.key('P');
        } else if (stop && pick < 6) {
            harness.key('S');
        } else {
            harness.tapControl(ids::controlSouth1 + static_cast<int>(random() % 3));
            EXPECT_EQ(yourTurnsSince(atLastMove), 0) << "a card picked is no new turn";
            harness.tapControl(ids::controlTable1 + static_cast<int>(random() % 3));
        }
    }
    EXPECT_FALSE(game.gameRunning) << "the game never ended";
    platform::headless::setFrameObserver(nullptr);
    EXPECT_EQ(checked, platform::headless::cues().size()) << "cues after the last frame";
    result.exchanges = exchangesSeen;
    result.cues = cuesHeard();
    gameWatcher = GameWatcher{};
    return result;
}

TEST(SoundOfWholeGames, EachEventShownHasItsCueAndTheGameEndsWithOneWonOrLostCue)
{
    for (unsigned seed : {1u, 7u, 23u, 40u}) {
        const GameSound sound = playGame(seed, true);
        const auto count = [&sound](Cue cue) { return std::count(sound.cues.begin(), sound.cues.end(), cue); };
        EXPECT_EQ(count(Cue::pass), sound.bubbles[kindPass]) << "seed " << seed;
        EXPECT_EQ(count(Cue::stop), sound.bubbles[kindStop]) << "seed " << seed;
        EXPECT_EQ(count(Cue::roundResult), sound.results) << "seed " << seed;
        EXPECT_EQ(count(Cue::lifeLost), sound.livesLost) << "seed " << seed;
        EXPECT_EQ(count(Cue::cardLaid), sound.exchanges) << "seed " << seed;
        EXPECT_GT(sound.bubbles[kindPass] * sound.exchanges * sound.livesLost, 0)
            << "seed " << seed << ": a game without passes, exchanges or lives lost checks little";
        ASSERT_FALSE(sound.cues.empty());
        EXPECT_EQ(count(Cue::gameWon) + count(Cue::gameLost), 1) << "seed " << seed;
        EXPECT_EQ(sound.cues.back(), game.lives[seatSouth] > 0 ? Cue::gameWon : Cue::gameLost) << "seed " << seed;
    }
}

}  // namespace
