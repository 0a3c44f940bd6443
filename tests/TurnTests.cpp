// The turn engine and the human's moves.
#include "tests/BoardReading.h"
#include "tests/CardHelpers.h"
#include "tests/Harness.h"

#include "flow/TurnEngine.h"
#include "model/TurnOrder.h"
#include "resources/BoardIds.h"
#include "resources/ResourceIds.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

// A game in progress with the human to move, not on the round's first turn.
// Seconds 17: north deals.
void startAtHumanTurn(Harness& harness)
{
    harness.command(ids::commandNew);
    ASSERT_EQ(game.currentSeat, seatSouth);
    ASSERT_EQ(game.gameRunning, 1);
}

struct PauseLog {
    std::vector<int> units;
    std::vector<GameState> states;  // the record as it stood at each pause
    GameState atFirstPause{};
    bool captured = false;
    std::vector<std::string> bubbles;  // "seat:word" for each bubble on the board at a 20-unit pause
};

void watchPauses(PauseLog& log, const Harness* harness = nullptr)
{
    platform::headless::setPauseObserver([&log, harness](int units) {
        if (!log.captured) {
            log.atFirstPause = game;
            log.captured = true;
        }
        log.units.push_back(units);
        log.states.push_back(game);
        if (harness && units == 20) {
            for (Seat seat = 1; seat <= 4; ++seat) {
                const std::string text = bubbleText(*harness, seat);
                if (!text.empty())
                    log.bubbles.push_back(std::to_string(seat) + ":" + text);
            }
        }
    });
}

int countBefore(const std::vector<int>& units, int value, int stopAt)
{
    int count = 0;
    for (int each : units) {
        if (each == stopAt)
            break;
        count += each == value ? 1 : 0;
    }
    return count;
}

class Turns : public ::testing::Test {
protected:
    Harness harness{17};
    PauseLog log;

    void SetUp() override
    {
        startAtHumanTurn(harness);
        setQuietCards();
        runTurns(harness.boardWindow());  // offer the buttons of this state
    }
    void TearDown() override { platform::headless::setPauseObserver(nullptr); }
};

}  // namespace

// ---- Selecting and exchanging ---------------------------------------------------

TEST_F(Turns, HighestSelectedHandCardTradesWithTheSelectedTableCard)
{
    harness.tapControl(ids::controlSouth1);
    harness.tapControl(ids::controlSouth1 + 1);
    watchPauses(log);
    harness.tapControl(ids::controlTable3);
    ASSERT_TRUE(log.captured);
    const GameState& after = log.atFirstPause;
    EXPECT_TRUE(sameCard(after.hands[1][0], card(7, clubs)));
    EXPECT_TRUE(sameCard(after.hands[1][1], card(9, spades)));
    EXPECT_TRUE(sameCard(after.hands[1][2], card(9, hearts)));
    EXPECT_TRUE(sameCard(after.TableCards[2], card(8, diamonds)));
    EXPECT_TRUE(sameCard(after.TableCards[0], card(7, hearts)));
    EXPECT_EQ(after.currentSeat, seatWest);
}

TEST_F(Turns, ThreeHandTapsTradeTheWholeHand)
{
    harness.tapControl(ids::controlSouth1);
    harness.tapControl(ids::controlSouth1 + 1);
    watchPauses(log);
    harness.tapControl(ids::controlSouth1 + 2);
    ASSERT_TRUE(log.captured);
    const GameState& after = log.atFirstPause;
    EXPECT_TRUE(sameCard(after.hands[1][0], card(7, hearts)));
    EXPECT_TRUE(sameCard(after.hands[1][1], card(8, clubs)));
    EXPECT_TRUE(sameCard(after.hands[1][2], card(9, spades)));
    EXPECT_TRUE(sameCard(after.TableCards[0], card(7, clubs)));
    EXPECT_TRUE(sameCard(after.TableCards[2], card(9, hearts)));
    EXPECT_EQ(after.handValue[1], 9.0);
}

TEST_F(Turns, TappingACardTwiceDeselectsItAndKeepsTheTurn)
{
    const auto pausesBefore = harness.pauseUnits();
    harness.tapControl(ids::controlSouth1 + 1);
    EXPECT_EQ(game.handSelected[1], 1);
    harness.tapControl(ids::controlSouth1 + 1);
    EXPECT_EQ(game.handSelected[1], 0);
    EXPECT_EQ(game.currentSeat, seatSouth);
    EXPECT_TRUE(sameCard(game.hands[1][1], card(8, diamonds)));
    EXPECT_EQ(harness.pauseUnits(), pausesBefore);
}

TEST_F(Turns, ASelectedCardShowsItsVeiledFaceAtOnce)
{
    harness.tapControl(ids::controlTable2);
    const platform::Rect rect = harness.controlRect(ids::controlTable2);
    const int boardTop = rect.top - platform::titleBarHeight;
    EXPECT_TRUE(harness.boardShowsImage(rect.left, boardTop, card(8, clubs).uprightFaceSelected));
    harness.tapControl(ids::controlTable2);
    EXPECT_TRUE(harness.boardShowsImage(rect.left, boardTop, card(8, clubs).uprightFace));
}

TEST_F(Turns, AnExchangeGivingTheHumanThirtyOneSettlesBeforeAnyOtherSeatMoves)
{
    setHand(seatSouth, card(ace, hearts), card(king, hearts), card(7, clubs));
    setTable(card(queen, hearts), card(8, diamonds), card(9, spades));
    harness.tapControl(ids::controlSouth1 + 2);
    watchPauses(log);
    harness.tapControl(ids::controlTable1);
    ASSERT_TRUE(log.captured);
    ASSERT_FALSE(log.units.empty());
    EXPECT_EQ(log.units[0], 50);  // the settlement's wait, before any decision's 10
    const GameState& atSettlement = log.atFirstPause;
    EXPECT_EQ(atSettlement.handValue[1], 31.0);
    for (Seat seat = 1; seat <= 4; ++seat)
        EXPECT_EQ(atSettlement.finishedFlags[seat], 1);
    EXPECT_EQ(atSettlement.roundWinners[1], 1);
}

// ---- Stop and Pass ----------------------------------------------------------------

TEST_F(Turns, HumanStopGivesEachOtherSeatOneMoreTurn)
{
    watchPauses(log, &harness);
    harness.tapControl(ids::controlStop);
    ASSERT_GE(log.units.size(), 3u);
    EXPECT_EQ(log.units[0], 1);   // the pressed button
    EXPECT_EQ(log.units[1], 20);  // the human's Stop bubble
    ASSERT_FALSE(log.bubbles.empty());
    EXPECT_EQ(log.bubbles[0], "1:Stop");
    EXPECT_EQ(countBefore(log.units, 10, 50), 3);
    EXPECT_EQ(log.states[1].stopCalled, 1);
    EXPECT_EQ(log.states[1].finishedFlags[1], 1);
}

TEST_F(Turns, HumanPassHandsTheTurnOnWithItsBubble)
{
    const std::int32_t passCountBefore = game.passCount[1];
    watchPauses(log, &harness);
    harness.tapControl(ids::controlPass);
    ASSERT_GE(log.units.size(), 2u);
    EXPECT_EQ(log.units[0], 1);
    EXPECT_EQ(log.units[1], 20);
    ASSERT_FALSE(log.bubbles.empty());
    EXPECT_EQ(log.bubbles[0], "1:Pass");
    EXPECT_EQ(log.atFirstPause.finishedFlags[1], 0);
    EXPECT_EQ(game.passCount[1], passCountBefore);  // the human's Pass is no computer bookkeeping
    EXPECT_EQ(game.passedFlags[1], 0);
}

TEST_F(Turns, AComputerStopShowsItsStopBubbleBesideIt)
{
    // Thirty in clubs that the table's eight of clubs cannot improve: west stops.
    setHand(seatWest, card(10, clubs), card(queen, clubs), card(king, clubs));
    watchPauses(log, &harness);
    harness.tapControl(ids::controlPass);
    ASSERT_GE(log.bubbles.size(), 2u);
    EXPECT_EQ(log.bubbles[0], "1:Pass");
    EXPECT_EQ(log.bubbles[1], "2:Stop");
    EXPECT_EQ(log.states.back().stopCalled, 1);
}

TEST_F(Turns, TheButtonsFollowTheRoundState)
{
    game.firstTurnOfRound = 1;
    runTurns(harness.boardWindow());
    EXPECT_FALSE(harness.controlVisible(ids::controlStop));
    EXPECT_TRUE(harness.controlVisible(ids::controlPass));

    game.firstTurnOfRound = 1;
    game.roundClosing = 1;  // the first-turn rule wins
    runTurns(harness.boardWindow());
    EXPECT_FALSE(harness.controlVisible(ids::controlStop));
    EXPECT_TRUE(harness.controlVisible(ids::controlPass));

    game.firstTurnOfRound = 0;
    runTurns(harness.boardWindow());
    EXPECT_TRUE(harness.controlVisible(ids::controlStop));
    EXPECT_FALSE(harness.controlVisible(ids::controlPass));

    game.roundClosing = 0;
    runTurns(harness.boardWindow());
    EXPECT_TRUE(harness.controlVisible(ids::controlStop));
    EXPECT_TRUE(harness.controlVisible(ids::controlPass));
}

// Each state of the two buttons as the player sees it: its own picture where
// the button is, plain table where it is not offered, the pressed picture
// for the pause of the press.
TEST_F(Turns, EachButtonStateShowsItsOwnPictureOnTheFrameShown)
{
    using platform::headless::Frame;
    constexpr int none = 0;
    const BoardArea stopPlace{60, 167, 40, 20};
    const BoardArea passPlace{141, 167, 40, 20};
    // The human's turn in a quiet round, with the buttons of that state shown.
    const auto offer = [this](bool first, bool closing) {
        setQuietCards();
        game.currentSeat = seatSouth;
        game.firstTurnOfRound = first ? 1 : 0;
        game.roundClosing = closing ? 1 : 0;
        runTurns(harness.boardWindow());
        harness.runUntilIdle();
    };
    const auto shownNow = [] { return *platform::headless::lastFrame(); };
    // The frame shown at the press's own pause.
    const auto press = [this, &offer](int control) {
        offer(false, false);
        std::vector<Frame> pressed;
        platform::headless::setPauseObserver([&pressed](int units) {
            if (units == 1 && pressed.empty())
                pressed.push_back(*platform::headless::lastFrame());
        });
        harness.tapControl(control);
        platform::headless::setPauseObserver(nullptr);
        return pressed.empty() ? Frame{} : pressed.front();
    };
    const auto shows = [](const Frame& frame, BoardArea place, int picture) {
        const int top = place.y + platform::titleBarHeight;
        if (picture != none)
            return frameShowsImage(frame, place.x, top, picture);
        for (int y = top; y < top + place.height; ++y) {
            for (int x = place.x; x < place.x + place.width; ++x) {
                if (frame.pixel(x, y) != boardGreen)
                    return false;
            }
        }
        return true;
    };
    struct Case {
        const char* state;
        std::function<Frame()> reach;
        int stop;  // the picture at Stop's place, or none for plain table
        int pass;
    };
    const Case cases[] = {
        {"first turn", [&] { offer(true, false); return shownNow(); }, none, res::imagePassNormal},
        {"after a Stop", [&] { offer(false, true); return shownNow(); }, res::imageStopNormal, none},
        {"an ordinary turn", [&] { offer(false, false); return shownNow(); }, res::imageStopNormal,
         res::imagePassNormal},
        {"Stop pressed", [&] { return press(ids::controlStop); }, res::imageStopPressed, res::imagePassNormal},
        {"Pass pressed", [&] { return press(ids::controlPass); }, res::imageStopNormal, res::imagePassPressed},
    };
    for (const Case& c : cases) {
        const Frame frame = c.reach();
        EXPECT_TRUE(shows(frame, stopPlace, c.stop)) << c.state << ": Stop's place";
        EXPECT_TRUE(shows(frame, passPlace, c.pass)) << c.state << ": Pass's place";
    }
}

TEST_F(Turns, AfterAComputerStopAnyHumanMoveIsItsLast)
{
    game.stopCalled = 1;
    game.roundClosing = 1;
    watchPauses(log);
    harness.tapControl(ids::controlSouth1);
    harness.tapControl(ids::controlTable1);
    ASSERT_TRUE(log.captured);
    EXPECT_EQ(log.atFirstPause.finishedFlags[1], 1);
}

// ---- Seats out of the game ------------------------------------------------------------

TEST_F(Turns, SeatsWithoutLivesNeverMoveAndTwoSeatsAlternate)
{
    game.lives[seatNorth] = 0;
    game.lives[seatEast] = 0;
    game.finishedFlags[seatNorth] = 1;
    game.finishedFlags[seatEast] = 1;
    EXPECT_EQ(nextLiveSeat(seatSouth), seatWest);
    EXPECT_EQ(nextLiveSeat(seatWest), seatSouth);
    EXPECT_EQ(nextLiveSeat(seatNorth), seatSouth);

    watchPauses(log);
    harness.tapControl(ids::controlPass);
    EXPECT_EQ(game.currentSeat, seatSouth);
    EXPECT_EQ(countBefore(log.units, 10, -1), 1);  // west alone moved
}

// ---- Taps queued during play ------------------------------------------------------------

TEST_F(Turns, ATapQueuedOnACardHiddenByTheGameEndDoesNothing)
{
    // West is the last computer seat in play and holds the lowest hand: the Stop ends the game.
    game.lives[seatWest] = 1;
    game.lives[seatNorth] = 0;
    game.lives[seatEast] = 0;
    game.finishedFlags[seatNorth] = 1;
    game.finishedFlags[seatEast] = 1;
    setHand(seatSouth, card(ace, hearts), card(10, hearts), card(9, hearts));
    setHand(seatWest, card(7, clubs), card(8, diamonds), card(9, spades));
    setTable(card(7, hearts), card(8, clubs), card(10, spades));
    const platform::Rect stop = harness.controlRect(ids::controlStop);
    const platform::Rect handCard = harness.controlRect(ids::controlSouth1);
    platform::headless::pushTap((stop.left + stop.right) / 2, (stop.top + stop.bottom) / 2);
    platform::headless::pushTap((handCard.left + handCard.right) / 2, (handCard.top + handCard.bottom) / 2);
    harness.runUntilIdle();

    ASSERT_FALSE(harness.boxes().empty());
    EXPECT_EQ(harness.boxes().back().text, "You Win...");
    EXPECT_EQ(game.gameRunning, 0);
    EXPECT_EQ(game.handSelected[0], 0);
    for (int id = ids::controlTable1; id <= ids::controlLastCard; ++id)
        EXPECT_FALSE(harness.controlVisible(id)) << id;
}

// ---- A turn loop that cannot go on ------------------------------------------------------

// Each plants a state from which the game cannot progress: the program must
// stop at once with a message naming the loop, not spin until a test times out.
using TurnsThatCannotGoOn = Turns;

TEST_F(TurnsThatCannotGoOn, ASeatThatNeverHandsTheTurnOnStopsTheLoop)
{
    game.currentSeat = 0;  // no seat at all: its moves change nothing
    EXPECT_DEATH(runTurns(harness.boardWindow()),
                 "internal error in runTurns: a computer seat is to move again.*current seat 0");
}

TEST_F(TurnsThatCannotGoOn, AGameWithNoSeatAliveStopsTheLoop)
{
    for (Seat seat = 1; seat <= seatCount; ++seat)
        game.lives[seat] = 0;
    game.currentSeat = seatWest;
    EXPECT_DEATH(runTurns(harness.boardWindow()), "internal error in nextLiveSeat: no seat has lives.*current seat 2");
}
