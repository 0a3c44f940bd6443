// Taps that just miss, through the real game on the headless back end: where
// a finger lands within its reach, never on a hidden control, on a box's
// buttons only while it is open, and on the page at its scale.
#include "tests/BoardReading.h"

#include "platform/Backend.h"
#include "platform/TapReach.h"
#include "resources/BoardIds.h"

#include <gtest/gtest.h>

using namespace testing_support;

// ---- Taps that just miss --------------------------------------------------------

TEST(TapReach, AMissWithinReachGoesToTheNearestTargetAndNoFurther)
{
    using platform::backend::reachTarget;
    using platform::backend::TapPoint;
    const std::vector<platform::Rect> cards = {{10, 10, 39, 51}, {40, 10, 69, 51}};
    auto at = [&](int x, int y, int reach) {
        const TapPoint p = reachTarget({x, y}, reach, cards);
        return std::pair{p.x, p.y};
    };
    EXPECT_EQ(at(20, 20, 3), std::pair(20, 20));  // on a card: as it was
    EXPECT_EQ(at(39, 30, 3), std::pair(38, 30));  // the gap: the nearer card, the first on a tie
    EXPECT_EQ(at(71, 30, 3), std::pair(68, 30));  // two pixels right of the second card
    EXPECT_EQ(at(20, 53, 3), std::pair(20, 50));  // below the first
    EXPECT_EQ(at(73, 30, 3), std::pair(73, 30));  // out of reach: a plain tap
    EXPECT_EQ(at(71, 53, 2), std::pair(71, 53));  // diagonal distance counts
    EXPECT_EQ(at(71, 30, 0), std::pair(71, 30));  // no reach, no help
    // A target above covering the nearest pixel: the target's middle instead.
    const std::vector<platform::Rect> stacked = {{10, 10, 30, 30}, {28, 10, 30, 20}};
    const TapPoint p = reachTarget({31, 15}, 3, stacked);
    EXPECT_EQ(std::pair(p.x, p.y), std::pair(19, 19));
}

TEST(TapReach, NeverLandsOnAHiddenControlAndOnlyOnTheBoxWhileItIsOpen)
{
    // A deal where the human moves first: Stop is not offered yet.
    Harness harness(0);
    for (int seconds = 0; seconds < 60 && !(game.gameRunning && game.firstTurnOfRound); ++seconds) {
        harness.pinSeconds(seconds);
        harness.queueAnswers({platform::answerYes});
        harness.command(ids::commandNew);
    }
    ASSERT_EQ(game.currentSeat, seatSouth);
    ASSERT_TRUE(game.firstTurnOfRound);
    ASSERT_FALSE(harness.controlVisible(ids::controlStop));
    const platform::Rect stop = harness.controlRect(ids::controlStop);
    const std::vector<platform::Rect> targets = platform::backend::tapTargets();
    for (int dy = -2; dy < stop.bottom - stop.top + 2; ++dy) {
        const auto p = platform::backend::reachTarget({stop.left - 1, stop.top + dy}, 3, targets);
        EXPECT_FALSE(p.x >= stop.left && p.x < stop.right && p.y >= stop.top && p.y < stop.bottom);
    }
    bool checked = false;
    platform::headless::setBoxAnswerer(nullptr);
    platform::headless::setIdleHandler([&] {
        if (!platform::headless::boxOpen() || checked)
            return;
        checked = true;
        const std::vector<platform::Rect> boxTargets = platform::backend::tapTargets();
        EXPECT_EQ(boxTargets.size(), 1u);  // OK alone, none of the cards under the box
        EXPECT_EQ(boxTargets.front(), platform::backend::boxButtonRect(platform::answerOk));
        platform::headless::pushKey(platform::keyEnter);
    });
    platform::headless::pushKey(platform::keyF1);
    harness.runUntilIdle();
    platform::headless::setIdleHandler(nullptr);
    EXPECT_TRUE(checked);
}

// ---- A finger on the page ---------------------------------------------------------

// The page's scale in thousandths of a CSS pixel per screen pixel: the 240-pixel
// screen across a phone 390 CSS pixels wide, or 800 tall of its 320 in a
// desktop window of 1280 x 800.
constexpr int phoneScale = 1625;
constexpr int desktopScale = 2500;

TEST(TapReach, AFingerReachesSixCssPixelsInWholeScreenPixels)
{
    // 6 / scale, halves up, never below one.
    const std::pair<int, int> cases[] = {{1000, 6}, {phoneScale, 4}, {2000, 3},  {2400, 3}, {desktopScale, 2},
                                         {4000, 2}, {5000, 1},       {12000, 1}, {20000, 1}};
    for (const auto& [scale, reach] : cases)
        EXPECT_EQ(platform::backend::fingerReach(scale), reach) << "scale " << scale;
}

namespace {

// The answer of a box to one finger tap on a phone, (dx, dy) outside the edge
// of its `button` (0: level with the button's middle); 0 when it stayed open.
int boxAnswerToFingerTap(const Harness& harness, platform::BoxButtons buttons, int button, int dx, int dy)
{
    int idleCalls = 0;
    platform::headless::setBoxAnswerer(nullptr);
    platform::headless::setIdleHandler([&] {
        if (!platform::headless::boxOpen() || idleCalls++ > 0)
            return;  // a box still open after the tap takes its default
        const platform::Rect r = platform::backend::boxButtonRect(button);
        const int x = dx < 0 ? r.left + dx : dx > 0 ? r.right - 1 + dx : (r.left + r.right) / 2;
        const int y = dy < 0 ? r.top + dy : dy > 0 ? r.bottom - 1 + dy : (r.top + r.bottom) / 2;
        platform::backend::queueFingerTap(x, y, phoneScale);
    });
    const int answer = platform::messageBox(harness.boardWindow(), "Keep this cards?", "Player choice:", buttons);
    platform::headless::setIdleHandler(nullptr);
    return idleCalls > 1 ? 0 : answer;
}

}  // namespace

TEST(TapReach, AFingerJustBesideABoxButtonGivesItsAnswerAndNoFurther)
{
    using platform::answerNo, platform::answerOk, platform::answerYes;
    constexpr platform::BoxButtons yesNo = platform::BoxButtons::yesNo, ok = platform::BoxButtons::ok;
    // A phone's reach is 4 screen pixels; Yes and No lie 12 apart.
    const struct {
        platform::BoxButtons buttons;
        int button, dx, dy, answer;
    } cases[] = {
        {yesNo, answerYes, -4, 0, answerYes},
        {yesNo, answerYes, -5, 0, 0},
        {yesNo, answerYes, 0, 4, answerYes},
        {yesNo, answerYes, 0, 5, 0},
        {yesNo, answerYes, -2, 2, answerYes},
        {yesNo, answerYes, -3, 3, 0},
        {yesNo, answerYes, 4, 0, answerYes},
        {yesNo, answerYes, 6, 0, 0},
        {yesNo, answerNo, -4, 0, answerNo},
        {yesNo, answerNo, 4, 0, answerNo},
        {yesNo, answerNo, 5, 0, 0},
        {yesNo, answerNo, 0, -4, answerNo},
        {yesNo, answerNo, 0, -5, 0},
        {ok, answerOk, 4, 0, answerOk},
        {ok, answerOk, 0, -4, answerOk},
        {ok, answerOk, -5, 0, 0},
        {ok, answerOk, 0, 5, 0},
    };
    Harness harness(0);
    for (const auto& c : cases)
        EXPECT_EQ(boxAnswerToFingerTap(harness, c.buttons, c.button, c.dx, c.dy), c.answer)
            << "button " << c.button << " of a " << (c.buttons == ok ? "OK" : "Yes/No") << " box, tap at " << c.dx
            << "," << c.dy;
}

TEST(TapReach, OnADesktopPageATapTenPixelsFromEveryCardSelectsNothing)
{
    Harness harness(17);
    harness.queueAnswers({platform::answerYes});
    harness.command(ids::commandNew);
    ASSERT_EQ(game.currentSeat, seatSouth);
    std::vector<platform::Rect> shown = {platform::headless::menuButtonRect()};
    for (const platform::backend::ShownControl& control : platform::backend::shownControls())
        shown.push_back(control.rect);
    auto farFromAll = [&](int x, int y) {
        for (const platform::Rect& r : shown) {
            const int dx = std::max({r.left - x, 0, x - (r.right - 1)});
            const int dy = std::max({r.top - y, 0, y - (r.bottom - 1)});
            if (dx * dx + dy * dy < 100)
                return false;
        }
        return x >= 0 && y >= 0 && x < platform::screenWidth && y < platform::screenHeight;
    };
    auto selected = [] {
        return std::count_if(std::begin(game.handSelected), std::end(game.handSelected), [](int s) { return s; }) +
               std::count_if(std::begin(game.tableSelected), std::end(game.tableSelected), [](int s) { return s; });
    };
    for (int id = ids::controlTable1; id < ids::controlSouth1 + cardsPerHand; ++id) {
        int far = 0;
        const platform::Rect card = harness.controlRect(id);
        const int midX = (card.left + card.right) / 2, midY = (card.top + card.bottom) / 2;
        // Ten pixels out from each side's middle, and the desktop's reach of two.
        const struct {
            int x, y, nearX, nearY;
        } sides[] = {{card.left - 10, midY, card.left - 2, midY},
                     {card.right + 9, midY, card.right + 1, midY},
                     {midX, card.top - 10, midX, card.top - 2},
                     {midX, card.bottom + 9, midX, card.bottom + 1}};
        for (const auto& side : sides) {
            if (!farFromAll(side.x, side.y))
                continue;
            ++far;
            const std::vector<std::uint32_t> before = harness.screenShot();
            platform::backend::queueFingerTap(side.x, side.y, desktopScale);
            harness.runUntilIdle();
            EXPECT_EQ(selected(), 0) << "control " << id << ", tap at " << side.x << "," << side.y;
            EXPECT_EQ(harness.pixelsChangedOutside(before, {}), 0) << "control " << id;
            platform::backend::queueFingerTap(side.nearX, side.nearY, desktopScale);
            harness.runUntilIdle();
            EXPECT_EQ(selected(), 1) << "control " << id << ", tap at " << side.nearX << "," << side.nearY;
            harness.tapControl(id);  // put back
        }
        EXPECT_GT(far, 0) << "control " << id << " has no side with room around it";
    }
}
