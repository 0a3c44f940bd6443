// Playing with the keyboard: the focus frame, keys that tap, Stop, Pass, New
// and How to play, keys while a box is open, and the account beside the board.
#include "tests/CardHelpers.h"
#include "tests/Harness.h"

#include "app/AccountPanel.h"
#include "app/KeyboardFocus.h"
#include "app/KeyboardPlay.h"
#include "app/TableAccount.h"
#include "flow/TurnEngine.h"
#include "platform/Core.h"
#include "platform/Headless.h"
#include "platform/WrapText.h"
#include "resources/BoardIds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

constexpr std::uint32_t focusYellow = 0xFFEC40;

// The record as it stood when the first pause (of `units`, or of any length)
// after some input began; and whether a round's result was waited for.
struct PauseWatch {
    GameState state{};
    bool seen = false;
    bool settled = false;
    int units = 0;
    void watch(int length = 0)
    {
        seen = false;
        units = length;
    }
    void install()
    {
        platform::headless::setPauseObserver([this](int each) {
            settled = settled || each == 50;
            if (!seen && (units == 0 || each == units)) {
                state = game;
                seen = true;
            }
        });
    }
};

// What the human sees and may change on the board.
bool sameBoard(const GameState& a, const GameState& b)
{
    for (int position = 0; position < 3; ++position) {
        if (a.handSelected[position] != b.handSelected[position] ||
            a.tableSelected[position] != b.tableSelected[position] ||
            !sameCard(a.TableCards[position], b.TableCards[position]))
            return false;
        for (Seat seat = 1; seat <= 4; ++seat)
            if (!sameCard(a.hands[seat][position], b.hands[seat][position]))
                return false;
    }
    for (Seat seat = 1; seat <= 4; ++seat)
        if (a.lives[seat] != b.lives[seat] || a.finishedFlags[seat] != b.finishedFlags[seat])
            return false;
    return a.currentSeat == b.currentSeat && a.stopCalled == b.stopCalled && a.gameRunning == b.gameRunning;
}

class Keyboard : public ::testing::Test {
protected:
    Harness harness{17};  // north deals

    void SetUp() override
    {
        harness.key(platform::keyF2);
        ASSERT_EQ(game.gameRunning, 1);
        ASSERT_EQ(game.currentSeat, seatSouth);
        setQuietCards();
        runTurns(harness.boardWindow());
    }
    void TearDown() override { platform::headless::setPauseObserver(nullptr); }

    // Presses Tab until `controlId` has the focus; false when it never gets it.
    bool tabTo(int controlId)
    {
        for (int presses = 0; presses < 10 && focusedControl() != controlId; ++presses)
            harness.key(platform::keyTab);
        return isFocusFrameShown() && focusedControl() == controlId;
    }
    std::uint32_t boardPixel(int x, int y) const { return harness.boardPixel(x, y); }
};

platform::Rect boardRect(const Harness& harness, int controlId)
{
    platform::Rect r = harness.controlRect(controlId);
    r.top -= platform::titleBarHeight;
    r.bottom -= platform::titleBarHeight;
    return r;
}

}  // namespace

// ---- The frame ---------------------------------------------------------------------

TEST_F(Keyboard, TheFirstKeyShowsTheFrameRoundTheFirstHandCardWithoutCoveringIt)
{
    const platform::Rect r = boardRect(harness, ids::controlSouth1);
    EXPECT_FALSE(isFocusFrameShown());
    EXPECT_NE(boardPixel(r.left - 1, r.top + 10), focusYellow);

    harness.key(platform::keySpace);  // shows where the focus is; taps nothing yet
    EXPECT_TRUE(isFocusFrameShown());
    EXPECT_EQ(focusedControl(), ids::controlSouth1);
    EXPECT_EQ(game.handSelected[0], 0);
    for (int y = r.top - 2; y < r.bottom + 2; ++y) {
        EXPECT_EQ(boardPixel(r.left - 1, y), focusYellow) << y;
        EXPECT_EQ(boardPixel(r.right, y), focusYellow) << y;
    }
    for (int x = r.left - 1; x <= r.right; ++x) {
        EXPECT_EQ(boardPixel(x, r.top - 1), focusYellow) << x;
        EXPECT_EQ(boardPixel(x, r.bottom), focusYellow) << x;
    }
    EXPECT_TRUE(harness.boardShowsImage(r.left, r.top, card(7, clubs).uprightFace));
}

TEST_F(Keyboard, APointerTapTakesTheFrameAwayAndKeepsTheFocusForTheNextKey)
{
    harness.key(platform::keyArrowRight);
    harness.key(platform::keyArrowRight);
    ASSERT_EQ(focusedControl(), ids::controlSouth1 + 1);
    const platform::Rect r = boardRect(harness, ids::controlSouth1 + 1);
    ASSERT_EQ(boardPixel(r.left - 1, r.top + 10), focusYellow);

    harness.tapControl(ids::controlTable2);
    EXPECT_EQ(game.tableSelected[1], 1);
    EXPECT_FALSE(isFocusFrameShown());
    EXPECT_NE(boardPixel(r.left - 1, r.top + 10), focusYellow);
    EXPECT_NE(boardPixel(r.left + 5, r.top - 1), focusYellow);

    harness.key(platform::keyArrowUp);  // shows the frame where it was, moves nothing
    EXPECT_EQ(focusedControl(), ids::controlSouth1 + 1);
    ASSERT_EQ(boardPixel(r.left - 1, r.top + 10), focusYellow);

    // A tap that changes nothing in the game takes it away too.
    harness.tapControl(ids::controlWest1);
    EXPECT_NE(boardPixel(r.left - 1, r.top + 10), focusYellow);
}

TEST_F(Keyboard, ArrowsMoveBetweenRowsAndTabVisitsEveryShownControlInTurn)
{
    harness.key(platform::keyArrowDown);
    harness.key(platform::keyArrowRight);
    harness.key(platform::keyArrowRight);
    EXPECT_EQ(focusedControl(), ids::controlSouth1 + 2);
    harness.key(platform::keyArrowRight);  // the row ends here
    EXPECT_EQ(focusedControl(), ids::controlSouth1 + 2);
    harness.key(platform::keyArrowUp);
    EXPECT_EQ(focusedControl(), ids::controlPass);
    harness.key(platform::keyArrowUp);
    EXPECT_EQ(focusedControl(), ids::controlTable3);
    harness.key(platform::keyArrowLeft);
    EXPECT_EQ(focusedControl(), ids::controlTable2);
    harness.key(platform::keyArrowDown);  // straight down past the buttons
    EXPECT_EQ(focusedControl(), ids::controlSouth1 + 1);
    harness.key(platform::keyArrowDown);
    EXPECT_EQ(focusedControl(), ids::controlSouth1 + 1);

    // Tab: hand, table, Stop, Pass, round again; Shift+Tab goes back.
    const int order[] = {ids::controlSouth1, ids::controlSouth1 + 1, ids::controlSouth1 + 2, ids::controlTable1,
                         ids::controlTable2, ids::controlTable3,     ids::controlStop,       ids::controlPass};
    ASSERT_TRUE(tabTo(ids::controlSouth1));
    for (int step = 1; step <= 8; ++step) {
        harness.key(platform::keyTab);
        EXPECT_EQ(focusedControl(), order[step % 8]) << step;
    }
    platform::headless::pushKeyWithModifiers(platform::keyTab, platform::modifierShift);
    harness.runUntilIdle();
    EXPECT_EQ(focusedControl(), ids::controlPass);

    // A hidden button takes no focus.
    game.firstTurnOfRound = 1;
    runTurns(harness.boardWindow());
    ASSERT_FALSE(harness.controlVisible(ids::controlStop));
    ASSERT_TRUE(tabTo(ids::controlTable3));
    harness.key(platform::keyTab);
    EXPECT_EQ(focusedControl(), ids::controlPass);
}

// A button hidden under the frame takes it along: the frame shown is round a
// control the player can see, and Space cannot press the hidden button.
TEST_F(Keyboard, TheFrameNeverRestsOnAHiddenButtonAndSpaceCannotPressIt)
{
    ASSERT_TRUE(tabTo(ids::controlStop));
    const platform::Rect stop = boardRect(harness, ids::controlStop);
    ASSERT_EQ(boardPixel(stop.left - 1, stop.top + 5), focusYellow);

    game.firstTurnOfRound = 1;  // Pass alone is offered
    runTurns(harness.boardWindow());
    harness.runUntilIdle();
    ASSERT_FALSE(harness.controlVisible(ids::controlStop));
    for (int x = stop.left - 1; x <= stop.right; ++x) {
        EXPECT_NE(boardPixel(x, stop.top - 1), focusYellow) << x;
        EXPECT_NE(boardPixel(x, stop.bottom), focusYellow) << x;
    }
    const int framed = focusedControl();
    ASSERT_TRUE(harness.controlVisible(framed));
    const platform::Rect r = boardRect(harness, framed);
    EXPECT_EQ(boardPixel(r.left - 1, r.top + 5), focusYellow);

    harness.key(platform::keySpace);
    EXPECT_EQ(game.stopCalled, 0);
    EXPECT_EQ(game.finishedFlags[seatSouth], 0);
}

// ---- Keys that play ------------------------------------------------------------------

TEST_F(Keyboard, SpaceAndEnterExchangeOneCardAsTapsWould)
{
    PauseWatch pause;
    pause.install();
    ASSERT_TRUE(tabTo(ids::controlSouth1 + 1));
    harness.key(platform::keySpace);
    EXPECT_EQ(game.handSelected[1], 1);
    ASSERT_TRUE(tabTo(ids::controlTable3));
    pause.watch();
    harness.key(platform::keyEnter);
    ASSERT_TRUE(pause.seen);
    EXPECT_TRUE(sameCard(pause.state.hands[seatSouth][1], card(9, spades)));
    EXPECT_TRUE(sameCard(pause.state.TableCards[2], card(8, diamonds)));
    EXPECT_EQ(pause.state.currentSeat, seatWest);
}

TEST_F(Keyboard, ThreeHandCardsTakenByKeyTradeTheWholeHand)
{
    PauseWatch pause;
    pause.install();
    harness.key(platform::keyArrowLeft);  // the frame, on the first hand card
    harness.key(platform::keySpace);
    harness.key(platform::keyArrowRight);
    harness.key(platform::keySpace);
    harness.key(platform::keyArrowRight);
    pause.watch();
    harness.key(platform::keySpace);
    ASSERT_TRUE(pause.seen);
    EXPECT_TRUE(sameCard(pause.state.hands[seatSouth][0], card(7, hearts)));
    EXPECT_TRUE(sameCard(pause.state.hands[seatSouth][2], card(9, spades)));
    EXPECT_TRUE(sameCard(pause.state.TableCards[0], card(7, clubs)));
}

TEST_F(Keyboard, SSaysStopAndPPassesOnlyWhileThatButtonIsShown)
{
    game.firstTurnOfRound = 1;  // Pass alone is offered
    runTurns(harness.boardWindow());
    PauseWatch pause;
    pause.install();
    pause.watch();
    harness.key('S');
    EXPECT_FALSE(pause.seen);
    EXPECT_EQ(game.stopCalled, 0);
    EXPECT_EQ(game.currentSeat, seatSouth);

    pause.watch(20);  // the bubble
    harness.key('P');
    ASSERT_TRUE(pause.seen);
    EXPECT_EQ(pause.state.currentSeat, seatSouth);
    EXPECT_EQ(pause.state.stopCalled, 0);
    EXPECT_EQ(pause.state.finishedFlags[seatSouth], 0);

    setQuietCards();
    game.currentSeat = seatSouth;
    runTurns(harness.boardWindow());
    ASSERT_TRUE(harness.controlVisible(ids::controlStop));
    pause.watch(20);
    harness.key('s');
    ASSERT_TRUE(pause.seen);
    EXPECT_EQ(pause.state.stopCalled, 1);
    EXPECT_EQ(pause.state.finishedFlags[seatSouth], 1);
}

TEST_F(Keyboard, CtrlWithSOrPLeavesTheButtonsAlone)
{
    ASSERT_TRUE(harness.controlVisible(ids::controlStop));
    ASSERT_TRUE(harness.controlVisible(ids::controlPass));
    PauseWatch pause;
    pause.install();
    pause.watch();
    for (platform::Param letter : {'S', 's', 'P', 'p'})
        harness.key(letter, true);
    EXPECT_FALSE(pause.seen);
    EXPECT_EQ(game.stopCalled, 0);
    EXPECT_EQ(game.currentSeat, seatSouth);
    EXPECT_TRUE(harness.controlVisible(ids::controlPass));
}

// ---- A whole round by keyboard ------------------------------------------------------

TEST(KeyboardRound, ARoundPlayedWithKeysOnlyExchangesPassesAndStops)
{
    Harness harness(25);  // a deal whose round lasts long enough for all four moves
    PauseWatch pause;
    pause.install();
    harness.key(platform::keyF2);
    ASSERT_EQ(game.gameRunning, 1);

    bool passed = false, exchanged = false, exchangedAll = false, stopped = false;
    harness.key(platform::keyArrowDown);  // the frame
    for (int turn = 0; turn < 12 && !pause.settled; ++turn) {
        ASSERT_EQ(game.currentSeat, seatSouth) << "turn " << turn;
        const CardRecord tableFirst = game.TableCards[0];
        const CardRecord handLast = game.hands[seatSouth][2];
        if (!harness.controlVisible(ids::controlStop)) {
            harness.key('P');
            passed = true;
        } else if (!exchanged) {
            for (int presses = 0; presses < 10 && focusedControl() != ids::controlSouth1 + 2; ++presses)
                harness.key(platform::keyTab);
            harness.key(platform::keyEnter);
            harness.key(platform::keyArrowUp);  // Pass, or the table's last card when Pass is hidden
            harness.key(platform::keyArrowUp);
            harness.key(platform::keyArrowLeft);
            harness.key(platform::keyArrowLeft);
            ASSERT_EQ(focusedControl(), ids::controlTable1);
            pause.watch();
            harness.key(platform::keySpace);
            ASSERT_TRUE(pause.seen);
            EXPECT_TRUE(sameCard(pause.state.hands[seatSouth][2], tableFirst));
            EXPECT_TRUE(sameCard(pause.state.TableCards[0], handLast));
            exchanged = true;
        } else if (!exchangedAll) {
            const CardRecord table[3] = {game.TableCards[0], game.TableCards[1], game.TableCards[2]};
            for (int id = ids::controlTable1; id <= ids::controlTable3; ++id) {
                for (int presses = 0; presses < 10 && focusedControl() != id; ++presses)
                    harness.key(platform::keyTab);
                pause.watch();
                harness.key(platform::keySpace);
            }
            ASSERT_TRUE(pause.seen);
            for (int position = 0; position < 3; ++position)
                EXPECT_TRUE(sameCard(pause.state.hands[seatSouth][position], table[position])) << position;
            exchangedAll = true;
        } else if (!passed && harness.controlVisible(ids::controlPass)) {
            harness.key('P');
            passed = true;
        } else {
            harness.key('S');
            stopped = true;
        }
    }
    platform::headless::setPauseObserver(nullptr);
    EXPECT_TRUE(pause.settled) << "the round never ended";
    EXPECT_TRUE(passed);
    EXPECT_TRUE(exchanged);
    EXPECT_TRUE(exchangedAll);
    EXPECT_TRUE(stopped);
}

// ---- New, How to play, and keys while a box is open ----------------------------------

// F2 is an accelerator, so whoever watches the commands (the simulator, the
// fuzz target's invariants) sees it as the New it is.
TEST(KeyboardCommands, F2StartsANewGameAsTheMenusNewDoes)
{
    Harness byKey(17);
    std::vector<int> chosen;
    platform::headless::Observer observer;
    observer.commandChosen = [&chosen](int command) { chosen.push_back(command); };
    platform::headless::setObserver(observer);
    byKey.key(platform::keyF2);
    platform::headless::setObserver({});
    EXPECT_EQ(chosen, std::vector<int>{ids::commandNew});
    const GameState afterKey = game;
    Harness byMenu(17);
    byMenu.chooseMenu(ids::commandNew);
    EXPECT_EQ(afterKey.gameRunning, 1);
    for (Seat seat = 1; seat <= 4; ++seat) {
        EXPECT_EQ(afterKey.lives[seat], game.lives[seat]);
        for (int position = 0; position < 3; ++position)
            EXPECT_TRUE(sameCard(afterKey.hands[seat][position], game.hands[seat][position]));
    }
    EXPECT_EQ(afterKey.currentSeat, game.currentSeat);
}

TEST(KeyboardCommands, F1ShowsEveryPageOfHowToPlayInTurnAndChangesNothing)
{
    Harness harness(17);
    harness.key(platform::keyF2);
    const GameState before = game;
    const std::size_t boxesBefore = harness.boxes().size();
    harness.key(platform::keyF1);
    ASSERT_EQ(harness.boxes().size(), boxesBefore + howToPlayPageCount);
    for (int page = 0; page < howToPlayPageCount; ++page) {
        const auto& box = harness.boxes()[boxesBefore + static_cast<std::size_t>(page)];
        EXPECT_EQ(box.caption, HowToPlayCaptions[page]);
        EXPECT_EQ(box.answer, platform::answerOk);
    }
    EXPECT_TRUE(sameBoard(before, game));
}

// Enter turns the page; Escape leaves the rules at once, from any page.
TEST(KeyboardCommands, EscapeClosesHowToPlayFromAnyPage)
{
    Harness harness(17);
    platform::headless::setBoxAnswerer(nullptr);
    int shown = 0;
    platform::headless::setIdleHandler([&shown] {
        if (platform::headless::boxOpen())
            platform::headless::pushKey(++shown == 2 ? platform::keyEscape : platform::keyEnter);
    });
    const int boxesBefore = platform::headless::boxCount();
    harness.key(platform::keyF1);
    platform::headless::setIdleHandler(nullptr);
    EXPECT_EQ(platform::headless::boxCount(), boxesBefore + 2);
    EXPECT_EQ(platform::headless::lastBoxText(), HowToPlayPages[1]);
    EXPECT_FALSE(platform::headless::boxOpen());
}

// The box reads the keys itself here: none of them may reach the board while it is open.
TEST(KeyboardCommands, KeysDoNothingToTheBoardWhileABoxIsOpen)
{
    Harness harness(17);
    harness.key(platform::keyF2);
    setQuietCards();
    runTurns(harness.boardWindow());
    platform::headless::setBoxAnswerer(nullptr);
    const GameState before = game;
    const int boxesBefore = platform::headless::boxCount();  // counts answered boxes
    int looks = 0;
    platform::headless::setIdleHandler([&] {
        if (!platform::headless::boxOpen())
            return;
        ++looks;
        EXPECT_TRUE(sameBoard(before, game));
        EXPECT_FALSE(isFocusFrameShown());
        if (looks == 1) {
            for (platform::Param key : {platform::keyArrowRight, platform::keySpace, static_cast<platform::Param>('S'),
                                        static_cast<platform::Param>('P'), platform::keyF2, platform::keyTab})
                platform::headless::pushKey(key);
        } else {
            platform::headless::pushKey(platform::keyEnter);
        }
    });
    platform::headless::pushKey(platform::keyF1);
    harness.runUntilIdle();
    platform::headless::setIdleHandler(nullptr);
    EXPECT_GE(looks, 1 + howToPlayPageCount);
    EXPECT_EQ(platform::headless::boxCount(), boxesBefore + howToPlayPageCount);
    EXPECT_EQ(platform::headless::lastBoxText(), HowToPlayPages[howToPlayPageCount - 1]);
}

// ---- The help text fits its boxes and tells every rule ------------------------------------

TEST(KeyboardCommands, EveryHowToPlayPageFitsItsBox)
{
    // The box's room for text: what is left of the screen beside its caption, margins and button.
    constexpr int boxLines =
        (platform::screenHeight - platform::core::captionHeight - 10 - 6 - 18 - 8) / platform::font::lineHeight;
    for (int page = 0; page < howToPlayPageCount; ++page) {
        int lines = 0;
        platform::core::wrapText(HowToPlayPages[page], 196, [&lines](std::string_view) { ++lines; });
        EXPECT_LE(lines, boxLines) << HowToPlayCaptions[page];
    }
}

// What a new player cannot guess from the board, each as words that must appear.
TEST(KeyboardCommands, HowToPlayStatesEveryRuleAndKey)
{
    std::string text;
    for (const char* page : HowToPlayPages)
        text += std::string(page) + "\n";
    const char* const rules[] = {"lowest hand",
                                 "four lives",
                                 "you lose",
                                 "you win",
                                 "best suit",
                                 "one suit add up",
                                 "no two of a suit: the highest card",
                                 "Three of a rank: 30.5",
                                 "Three aces beat",
                                 "\"Keep this cards?\" Y keeps",
                                 "N takes the next three",
                                 "exchanges one card with a table card",
                                 "exchanges all three",
                                 "passes or says Stop",
                                 "first turn you may exchange or pass, but not stop",
                                 "the computer seats may stop",
                                 "\"Zarta\" means 31",
                                 "lightning means three aces",
                                 "put it back",
                                 "H: a hint",
                                 "R: review",
                                 "M: sound on or off",
                                 "Page Up, Page Down, Home, End:",
                                 "Escape: close these rules",
                                 "one last turn",
                                 "31",
                                 "to three aces ends",
                                 "ties all lose",
                                 "without the best hand loses",
                                 "Four equal hands: the round is dealt again",
                                 "Arrows",
                                 "Tab",
                                 "Space or Enter",
                                 "S: Stop",
                                 "P: Pass",
                                 "F1:",
                                 "F2: New",
                                 "W: show or hide What happened",
                                 "Ctrl+A: About",
                                 "Ctrl+Q: close",
                                 "Enter or Y",
                                 "N or Escape",
                                 "Enter: next page"};
    for (const char* rule : rules)
        EXPECT_NE(text.find(rule), std::string::npos) << rule;
}

// ---- The account beside the board -------------------------------------------------------

namespace {

std::vector<std::string> toldLines;

void noteAndKeep(const std::string& line, const std::string& eventJson)
{
    toldLines.push_back(line);
    noteAccountLine(line, eventJson);
}

}  // namespace

TEST(AccountPanel, SaysHowToStartThenWhatHappenedNewestFirstAndItsKeyHidesIt)
{
    resetAccountPanel();
    toldLines.clear();
    Harness harness(17);
    tellTableNews(noteAndKeep);
    EXPECT_EQ(accountPanel().headline, HowToStartText);
    EXPECT_TRUE(accountPanel().lines.empty());
    EXPECT_TRUE(accountPanel().buttons.empty()) << "a hint with no game";
    harness.key(platform::keyF2);
    const platform::SideText panel = accountPanel();
    EXPECT_TRUE(panel.headline.empty());
    // Its button asks the coach, as the key does.
    ASSERT_EQ(panel.buttons.size(), 2u);
    EXPECT_EQ(panel.buttons[0].label, "Hint");
    EXPECT_EQ(panel.buttons[0].key, 'H');
    EXPECT_EQ(panel.buttons[1].label, "Review");
    EXPECT_EQ(panel.buttons[1].key, 'R');
    ASSERT_GE(toldLines.size(), 3u);  // the dealer draw, the deal, the table
    EXPECT_EQ(panel.lines, std::vector<std::string>(toldLines.rbegin(), toldLines.rend()));
    const GameState before = game;
    for (const platform::Param key : {static_cast<platform::Param>(accountPanelKey), platform::Param{'w'}}) {
        const bool wasShown = accountPanel().shown;
        harness.key(key);
        EXPECT_NE(accountPanel().shown, wasShown);
    }
    EXPECT_TRUE(sameBoard(before, game));
    tellTableNews(nullptr);
}
