// Start-up, the painted board, the menu, About and the two ways out.
#include "tests/BoardReading.h"
#include "tests/CardHelpers.h"
#include "tests/Harness.h"

#include "app/Program.h"
#include "app/Shell.h"
#include "resources/BoardIds.h"
#include "resources/ResourceIds.h"
#include "ui/Controls.h"
#include "ui/Drawing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace testing_support;

namespace {

constexpr std::uint32_t tableGreen = 0x008000;

std::vector<std::uint32_t> screenCopy(const Harness& harness)
{
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < platform::screenHeight; ++y)
        for (int x = 0; x < platform::screenWidth; ++x)
            pixels.push_back(harness.screenPixel(x, y));
    return pixels;
}

bool plainGreen(const Harness& harness, int x, int y, int width, int height)
{
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column)
            if (harness.boardPixel(column, row) != tableGreen)
                return false;
    return true;
}

// Where the board's controls stand: the table, south, west, north and east
// cards, then Stop and Pass.
struct Place {
    int id;
    BoardArea area;
};
constexpr Place BoardLayout[] = {
    {ids::controlTable1, {74, 98, 29, 41}},      {ids::controlTable1 + 1, {104, 98, 29, 41}},
    {ids::controlTable1 + 2, {134, 98, 29, 41}}, {ids::controlSouth1, {60, 190, 29, 41}},
    {ids::controlSouth1 + 1, {90, 190, 29, 41}}, {ids::controlSouth1 + 2, {120, 190, 29, 41}},
    {ids::controlWest1, {8, 60, 41, 29}},        {ids::controlWest1 + 1, {8, 90, 41, 29}},
    {ids::controlWest1 + 2, {8, 120, 41, 29}},   {ids::controlNorth1, {90, 8, 29, 41}},
    {ids::controlNorth1 + 1, {120, 8, 29, 41}},  {ids::controlNorth1 + 2, {150, 8, 29, 41}},
    {ids::controlEast1, {190, 90, 41, 29}},      {ids::controlEast1 + 1, {190, 120, 41, 29}},
    {ids::controlEast1 + 2, {190, 150, 41, 29}}, {ids::controlStop, {60, 167, 40, 20}},
    {ids::controlPass, {141, 167, 40, 20}},
};

}  // namespace

// ---- The state and board right after start-up -------------------------------------------

TEST(StartUp, LeavesNoGameRunning)
{
    Harness harness;
    EXPECT_EQ(harness.startUpResult(), 1);
    EXPECT_EQ(game.currentSeat, 1);
    EXPECT_EQ(game.gameRunning, 0);
    EXPECT_EQ(game.dealerChoicePending, 1);
    EXPECT_EQ(game.firstTurnOfRound, 1);
    EXPECT_EQ(game.threeAcesFlag, 0);
    EXPECT_EQ(game.dealerSeat, 0);
    for (Seat seat = 1; seat <= 4; ++seat) {
        EXPECT_EQ(game.lives[seat], 0);
        EXPECT_EQ(game.hands[seat][0].rank, 0);
    }
}

TEST(StartUp, CreatesSeventeenHiddenControlsSideBySideOnTheBoard)
{
    Harness harness;
    const platform::Rect board = platform::getWindowRect(harness.boardWindow());
    std::vector<platform::Rect> rects;
    for (int id = ids::controlTable1; id <= ids::controlPass; ++id) {
        if (id >= ids::controlSecondUpright1 && id <= ids::controlSecondLast)
            continue;  // the dealer's second hand exists only while the dealer chooses
        const platform::Rect rect = harness.controlRect(id);
        EXPECT_FALSE(harness.controlVisible(id)) << id;
        EXPECT_GE(rect.left, board.left) << id;
        EXPECT_GE(rect.top, board.top) << id;
        EXPECT_LE(rect.right, board.right) << id;
        EXPECT_LE(rect.bottom, board.top + 268) << id;  // above the menu bar
        // South, north and the table hold upright cards; west and east sideways ones.
        if (ids::isCardControl(id)) {
            const bool upright = id < ids::controlWest1 || (id >= ids::controlNorth1 && id < ids::controlEast1);
            EXPECT_EQ(rect.right - rect.left, upright ? 29 : 41) << id;
            EXPECT_EQ(rect.bottom - rect.top, upright ? 41 : 29) << id;
        }
        rects.push_back(rect);
    }
    ASSERT_EQ(rects.size(), 17u);
    for (std::size_t a = 0; a < rects.size(); ++a)
        for (std::size_t b = a + 1; b < rects.size(); ++b) {
            const bool apart = rects[a].right <= rects[b].left || rects[b].right <= rects[a].left ||
                               rects[a].bottom <= rects[b].top || rects[b].bottom <= rects[a].top;
            EXPECT_TRUE(apart) << "controls " << a << " and " << b << " overlap";
        }
}

TEST(StartUp, WindowHeightIsTheScreenBottomLessTheMenuBar)
{
    Harness harness;
    const platform::Rect rect = platform::getWindowRect(harness.boardWindow());
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 26);
    EXPECT_EQ(rect.right, 240);
    EXPECT_EQ(rect.bottom - rect.top, 320 - 26);
    EXPECT_NE(shell.menuBar, 0);
}

TEST(StartUp, BoardShowsBacksEmptyLivesAndNoButton)
{
    Harness harness;
    for (const Place& place : BoardLayout) {
        const platform::Rect rect = harness.controlRect(place.id);
        EXPECT_EQ(rect.left, place.area.x) << place.id;
        EXPECT_EQ(rect.top - platform::titleBarHeight, place.area.y) << place.id;
        EXPECT_EQ(rect.right - rect.left, place.area.width) << place.id;
        EXPECT_EQ(rect.bottom - rect.top, place.area.height) << place.id;
        if (ids::isCardControl(place.id)) {
            const int back = place.area.width == 29 ? res::imageBackUpright : res::imageBackSide;
            EXPECT_TRUE(harness.boardShowsImage(place.area.x, place.area.y, back)) << place.id;
        }
    }
    for (Seat seat = 1; seat <= 4; ++seat) {
        const Patch panel = readArea(harness, LivesSpots[seat]);
        EXPECT_FALSE(isPlainGreen(panel)) << "seat " << seat;
        EXPECT_EQ(coinsOn(panel), 0) << "seat " << seat;
    }
    EXPECT_TRUE(plainGreen(harness, 60, 167, 40, 20));
    EXPECT_TRUE(plainGreen(harness, 141, 167, 40, 20));
}

TEST(StartUp, TappingTheBoardDoesNothing)
{
    Harness harness;
    const auto before = screenCopy(harness);
    for (const Place& place : BoardLayout)
        harness.tapBoard(place.area.x + 5, place.area.y + 5);
    EXPECT_EQ(game.gameRunning, 0);
    EXPECT_EQ(game.handSelected[0] + game.tableSelected[0], 0);
    EXPECT_EQ(screenCopy(harness), before);
}

// ---- Painting -------------------------------------------------------------------------------

TEST(Painting, FullRepaintRemovesABubble)
{
    Harness harness;
    const BoardArea west = BubbleSpots[seatWest];
    drawImageAt(west.x, west.y, harness.boardWindow(), res::imageStopBubbleWest);
    harness.presentNow();
    EXPECT_EQ(bubbleText(harness, seatWest), "Stop");
    requestRepaint(harness.boardWindow());
    harness.presentNow();
    EXPECT_EQ(bubbleText(harness, seatWest), "");
}

// Each seat's Stop and Pass read upright from that seat, with the tail at its
// cards, for the twenty units of the flash; then the spot is plain green again.
TEST(Painting, EverySeatsStopAndPassBubblesSayTheirWordBesideItsCards)
{
    Harness harness;
    for (Seat seat = 1; seat <= 4; ++seat) {
        for (Indicator kind : {Indicator::stop, Indicator::pass}) {
            const std::string word = kind == Indicator::stop ? "Stop" : "Pass";
            std::string shown = "not shown";
            std::vector<int> tail;
            platform::headless::setPauseObserver([&](int units) {
                if (units != 20)
                    return;
                shown = bubbleText(harness, seat);
                tail = bubbleTouchesCardsSide(harness, seat);
            });
            const auto before = harness.pauseUnits();
            flashIndicator(kind, seat, harness.boardWindow());
            platform::headless::setPauseObserver(nullptr);
            harness.presentNow();
            EXPECT_EQ(shown, word) << "seat " << seat;
            ASSERT_GE(tail.size(), 1u) << word << " of seat " << seat << " has no tail towards its cards";
            EXPECT_LE(tail.size(), 4u) << word << " of seat " << seat << " touches the cards' side with its body";
            EXPECT_GE(tail.front(), CardsSpan[seat][0]) << word << " of seat " << seat;
            EXPECT_LT(tail.back(), CardsSpan[seat][1]) << word << " of seat " << seat;
            EXPECT_EQ(harness.pauseUnits() - before, 20);
            EXPECT_EQ(bubbleText(harness, seat), "") << word << " of seat " << seat << " left on the board";
        }
    }
}

TEST(Painting, FlashedIndicatorBlanksWhateverTheSpotShowed)
{
    Harness harness;
    const BoardArea north = BubbleSpots[seatNorth];
    drawImageAt(north.x, north.y, harness.boardWindow(), res::imageScore24North);
    harness.presentNow();
    ASSERT_EQ(bubbleText(harness, seatNorth), "24");
    flashIndicator(Indicator::pass, seatNorth, harness.boardWindow());
    harness.presentNow();
    EXPECT_TRUE(plainGreen(harness, north.x, north.y, north.width, north.height));
}

TEST(Painting, ImageZeroDrawsNothing)
{
    Harness harness;
    const BoardArea south = BubbleSpots[seatSouth];
    drawImageAt(south.x, south.y, harness.boardWindow(), res::imageScore24South);
    harness.presentNow();
    const auto before = screenCopy(harness);
    drawImageAt(south.x, south.y, harness.boardWindow(), 0);
    harness.presentNow();
    EXPECT_EQ(screenCopy(harness), before);
}

// One coin per life; every seat shows the same panel for the same lives, the
// sideways seats turned a quarter clockwise.
TEST(Painting, LivesShowOneCoinPerLifeTurnedForTheSidewaysSeats)
{
    Harness harness;
    for (int lives = 0; lives <= 4; ++lives) {
        for (Seat seat = 1; seat <= 4; ++seat)
            game.lives[seat] = static_cast<std::int16_t>(lives);
        requestRepaint(harness.boardWindow());
        harness.presentNow();
        const Patch south = readArea(harness, LivesSpots[seatSouth]);
        EXPECT_EQ(coinsOn(south), lives);
        EXPECT_EQ(readArea(harness, LivesSpots[seatNorth]), south) << "north, lives " << lives;
        EXPECT_EQ(readArea(harness, LivesSpots[seatWest]), turnedClockwise(south)) << "west, lives " << lives;
        EXPECT_EQ(readArea(harness, LivesSpots[seatEast]), turnedClockwise(south)) << "east, lives " << lives;
    }
    // Each seat shows its own lives.
    const std::int16_t mixed[5] = {0, 4, 2, 0, 1};
    std::copy(std::begin(mixed), std::end(mixed), game.lives);
    requestRepaint(harness.boardWindow());
    harness.presentNow();
    for (Seat seat = 1; seat <= 4; ++seat)
        EXPECT_EQ(coinsOn(readArea(harness, LivesSpots[seat])), mixed[seat]) << "seat " << seat;
}

TEST(Painting, CardFacesFollowSeatOrientationSelectionAndTurn)
{
    Harness harness;
    showAllCards();
    setHand(seatSouth, card(7, clubs), card(8, clubs), card(9, clubs));
    setHand(seatWest, card(7, hearts), card(8, hearts), card(9, hearts));
    setHand(seatNorth, card(7, spades), card(8, spades), card(9, spades));
    setHand(seatEast, card(10, hearts), card(jack, hearts), card(queen, hearts));
    setTable(card(ace, clubs), card(ace, diamonds), card(ace, hearts));
    game.currentSeat = seatNorth;
    game.handSelected[1] = 1;
    game.tableSelected[2] = 1;
    redrawAllCards();
    harness.presentNow();
    // The hand selection belongs to north's turn: south's second card stays plain.
    EXPECT_TRUE(harness.boardShowsImage(90, 190, card(8, clubs).uprightFace));
    EXPECT_TRUE(harness.boardShowsImage(120, 8, card(8, spades).uprightFaceSelected));
    EXPECT_TRUE(harness.boardShowsImage(8, 90, card(8, hearts).sideFace));
    EXPECT_TRUE(harness.boardShowsImage(190, 120, card(jack, hearts).sideFace));
    EXPECT_TRUE(harness.boardShowsImage(134, 98, card(ace, hearts).uprightFaceSelected));
    EXPECT_TRUE(harness.boardShowsImage(74, 98, card(ace, clubs).uprightFace));
    game.currentSeat = seatWest;
    redrawAllCards();
    harness.presentNow();
    EXPECT_TRUE(harness.boardShowsImage(8, 90, card(8, hearts).sideFaceSelected));
    EXPECT_TRUE(harness.boardShowsImage(120, 8, card(8, spades).uprightFace));
}

TEST(Painting, DrawingOnAHiddenControlShowsNothing)
{
    Harness harness;
    setTable(card(ace, clubs), card(ace, diamonds), card(ace, hearts));
    drawCardControl(ids::controlTable1);
    harness.presentNow();
    EXPECT_TRUE(harness.boardShowsImage(74, 98, 273));
}

TEST(Painting, StopDrawItemRestoresTheNormalImage)
{
    Harness harness;
    offerButtons(Buttons::stopAndPass);
    harness.runUntilIdle();
    drawImageOnControl(boardControls.stop, res::imageStopPressed);
    harness.presentNow();
    EXPECT_TRUE(harness.boardShowsImage(60, 167, 281));
    platform::sendMessage(harness.boardWindow(), platform::Msg::drawItem, ids::controlStop, 0);
    harness.presentNow();
    EXPECT_TRUE(harness.boardShowsImage(60, 167, 279));
}

// ---- Commands ----------------------------------------------------------------------------------

TEST(Commands, UnknownCommandsAndComputerCardsChangeNothingDuringAGame)
{
    Harness harness(17);
    harness.command(ids::commandNew);
    ASSERT_EQ(game.gameRunning, 1);
    ASSERT_EQ(game.currentSeat, seatSouth);
    GameState before;
    std::memcpy(&before, &game, sizeof game);
    const auto screenBefore = screenCopy(harness);
    const auto pausesBefore = harness.pauseUnits();

    const platform::Handle board = harness.boardWindow();
    for (int id = ids::controlWest1; id <= ids::controlLastCard; ++id) {
        // Whatever the notification code, a computer seat's card takes no tap.
        const platform::Param command = platform::makeCommandParam(id, id % 2);
        EXPECT_EQ(boardWindowProcedure(board, platform::Msg::command, command, 0), 0) << id;
    }
    for (int id : {ids::commandMenuButton, ids::controlSecondSide1, ids::controlSecondUpright1, 0})
        boardWindowProcedure(board, platform::Msg::command, platform::makeCommandParam(id), 0);
    harness.runUntilIdle();

    EXPECT_EQ(std::memcmp(&before, &game, sizeof game), 0);
    EXPECT_EQ(harness.pauseUnits(), pausesBefore);
    EXPECT_EQ(screenCopy(harness), screenBefore);
}

TEST(Commands, CtrlAOpensAboutAndOkReturnsToAnUnchangedBoard)
{
    Harness harness;
    const auto before = screenCopy(harness);
    platform::headless::pushKey('A', true);
    platform::headless::setIdleHandler([] {
        if (platform::headless::boxOpen())
            platform::headless::pushKey(platform::keyEnter);
    });
    harness.runUntilIdle();
    platform::headless::setIdleHandler(nullptr);
    EXPECT_FALSE(harness.quit());
    EXPECT_FALSE(harness.exited());
    EXPECT_EQ(screenCopy(harness), before);
}

TEST(Commands, CtrlQClosesThroughDestroyWithStatusZero)
{
    Harness harness;
    harness.key('Q', true);
    EXPECT_TRUE(harness.quit());
    EXPECT_EQ(platform::headless::quitCode(), 0);
    EXPECT_EQ(shell.menuBar, 0);  // the destroy message took it down
    EXPECT_FALSE(harness.exited());
}

TEST(Commands, ExitEndsWithStatusZeroWithoutTheClosePath)
{
    Harness harness;
    harness.chooseMenu(ids::commandExit);
    EXPECT_TRUE(harness.exited());
    EXPECT_EQ(harness.exitStatus(), 0);
    EXPECT_FALSE(harness.quit());
    EXPECT_NE(shell.menuBar, 0);
}

TEST(Commands, NewFromTheMenuStartsAGame)
{
    Harness harness(17);
    harness.chooseMenu(ids::commandNew);
    EXPECT_EQ(game.gameRunning, 1);
    EXPECT_EQ(game.currentSeat, seatSouth);
}

TEST(Commands, DesktopCloseButtonTakesTheClosePath)
{
    Harness harness;
    harness.closeButton();
    EXPECT_TRUE(harness.quit());
    EXPECT_EQ(platform::headless::quitCode(), 0);
}
