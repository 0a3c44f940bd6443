// What happened beside the board in the desktop window: the rows in view as
// the panel lays them out, a round's result with the move that ended it at
// every round's end of whole games, the hint that replaces a hint, and
// scrolling by keys and the wheel.
#include "tests/Harness.h"

#include "app/AccountPanel.h"
#include "app/TableAccount.h"
#include "platform/PixelFont.h"
#include "platform/SideText.h"
#include "resources/BoardIds.h"
#include "ui/Drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

// Panel pixels: the lines start below the caption bar and its margin and
// end a margin above the screen's foot.
constexpr int linesTop = platform::titleBarHeight + 6;
constexpr int linesBottom = platform::screenHeight - 6;

platform::SideText sideTextOf(std::vector<std::string> lines, int firstRow = 0, std::string headline = {})
{
    platform::SideText text;
    text.shown = true;
    text.headline = std::move(headline);
    text.lines = std::move(lines);
    text.firstRow = firstRow;
    return text;
}

// How many of the line's rows are in view.
int rowsInView(const platform::SideTextView& view, int line)
{
    int rows = 0;
    for (const platform::SideTextRow& row : view.rows)
        rows += row.line == line ? 1 : 0;
    return rows;
}

bool wholeLineInView(const platform::SideText& text, const platform::SideTextView& view, int line)
{
    return line < static_cast<int>(text.lines.size()) &&
           rowsInView(view, line) == platform::sideTextRows(text.lines[static_cast<std::size_t>(line)]);
}

// Rows of 26 characters and less, one a line: "Line 07 xxxx..." fits a row.
std::vector<std::string> shortLines(int count)
{
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i)
        lines.push_back("Line " + std::to_string(100 + i));
    return lines;
}

}  // namespace

// ---- Where the rows lie ----------------------------------------------------------

TEST(SideTextView, RowsFitWholeBetweenTheCaptionAndTheFootAndScrollByRows)
{
    using platform::font::cellHeight;
    using platform::font::lineHeight;
    constexpr int gap = platform::sideTextLineGap;
    // One-row lines: n of them take n rows and n - 1 gaps.
    const int fitting = (linesBottom - linesTop - cellHeight) / (lineHeight + gap) + 1;
    const struct {
        int lines;
        int firstRow;
        int shownFirst;
        int lastFirst;
    } cases[] = {
        {0, 0, 0, 0},
        {3, 2, 0, 0},  // all fit: nothing scrolls
        {fitting, 0, 0, 0},
        {fitting + 1, 0, 0, 1},
        {fitting + 5, 3, 3, 5},
        {fitting + 5, 99, 5, 5},  // past the last page: the last page
        {fitting + 5, -4, 0, 5},
    };
    for (const auto& c : cases) {
        const platform::SideText text = sideTextOf(shortLines(c.lines), c.firstRow);
        const platform::SideTextView view = platform::viewSideText(text);
        const std::string at = std::to_string(c.lines) + " lines from row " + std::to_string(c.firstRow);
        EXPECT_EQ(view.totalRows, c.lines) << at;
        EXPECT_EQ(view.lastFirstRow, c.lastFirst) << at;
        EXPECT_EQ(view.firstRow, c.shownFirst) << at;
        EXPECT_EQ(view.rowsShown, std::min(c.lines - c.shownFirst, fitting)) << at;
        int y = linesTop;
        for (const platform::SideTextRow& row : view.rows) {
            EXPECT_EQ(row.line, c.shownFirst + (y - linesTop) / (lineHeight + gap)) << at;
            EXPECT_EQ(row.y, y) << at;
            EXPECT_EQ(row.ruleAbove, row.y != linesTop) << at;
            EXPECT_LE(row.y + cellHeight, linesBottom) << at;
            y += lineHeight + gap;
        }
    }
}

TEST(SideTextView, ALongLineWrapsItsNewlineStartsARowAndTheHeadlineStaysPut)
{
    // Three rows of words, then the row the newline starts.
    const std::string longLine =
        "You show the ace of clubs, the ace of spades and the ace of hearts: three aces.\nRound two";
    ASSERT_EQ(platform::sideTextRows(longLine), 4);
    std::vector<std::string> lines = shortLines(40);
    lines.insert(lines.begin(), longLine);
    const platform::SideText top = sideTextOf(lines, 0, "No game");
    const platform::SideTextView atTop = platform::viewSideText(top);
    ASSERT_EQ(atTop.rows.front().line, -1);
    EXPECT_EQ(atTop.rows.front().y, linesTop);
    EXPECT_EQ(atTop.linesTop, linesTop + platform::font::lineHeight + platform::sideTextLineGap);
    EXPECT_EQ(rowsInView(atTop, 0), 4);
    EXPECT_EQ(atTop.rows[4].text, "Round two");
    EXPECT_FALSE(atTop.rows[4].ruleAbove);
    EXPECT_TRUE(atTop.rows[5].ruleAbove);

    // A line cut by the top of the view shows its later rows, with no rule above them.
    const platform::SideText scrolledText = sideTextOf(lines, 2, top.headline);
    const platform::SideTextView scrolled = platform::viewSideText(scrolledText);
    EXPECT_EQ(scrolled.rows.front().line, -1) << "the headline does not scroll";
    const platform::SideTextRow& first = scrolled.rows[1];
    EXPECT_EQ(first.line, 0);
    EXPECT_EQ(first.y, atTop.linesTop);
    EXPECT_FALSE(first.ruleAbove);
    EXPECT_EQ(rowsInView(scrolled, 0), 2);
}

// ---- Whole games ----------------------------------------------------------------

namespace {

// The lines told, and what the panel should hold at the round's end: the
// result over the hands shown, and under it the move that ended the round.
struct RoundEnds {
    std::vector<std::string> shows;
    std::string lastMove;
    std::string decidingMove;
    std::string result;
    int checked = 0;
    int tight = 0;  // rounds whose lines, each on its own, would have pushed the deciding move out
    unsigned seed = 0;

    static bool kindIs(const std::string& json, const char* kind)
    {
        return json.rfind(std::string("{\"kind\":\"") + kind + "\"", 0) == 0;
    }

    void note(const std::string& line, const std::string& json)
    {
        if (kindIs(json, "exchange") || kindIs(json, "pass") || kindIs(json, "stop")) {
            lastMove = line;
            shows.clear();
        } else if (kindIs(json, "shows")) {
            if (shows.empty())
                decidingMove = lastMove;
            shows.push_back(line);
        } else if (kindIs(json, "roundEnd")) {
            std::string hands;
            for (const std::string& shown : shows)
                hands += (hands.empty() ? "" : " ") + shown;
            result = line + "\n" + hands;
        }
    }

    void atResult()
    {
        const platform::SideText text = accountPanel();
        const platform::SideTextView view = platform::viewSideText(text);
        ASSERT_GE(text.lines.size(), 2u) << "seed " << seed;
        EXPECT_EQ(text.lines[0], result) << "seed " << seed;
        EXPECT_EQ(text.lines[1], decidingMove) << "seed " << seed;
        EXPECT_TRUE(wholeLineInView(text, view, 0)) << "seed " << seed << ": " << result;
        EXPECT_TRUE(wholeLineInView(text, view, 1)) << "seed " << seed << ": " << decidingMove;
        ++checked;
        int separateRows =
            platform::sideTextRows(decidingMove) + platform::sideTextRows(result.substr(0, result.find('\n')));
        for (const std::string& shown : shows)
            separateRows += platform::sideTextRows(shown);
        const int separateEntries = 2 + static_cast<int>(shows.size());
        if (separateRows * platform::font::lineHeight + (separateEntries - 1) * platform::sideTextLineGap >
            linesBottom - linesTop)
            ++tight;
    }
};

RoundEnds* watched = nullptr;

void noteAndWatch(const std::string& line, const std::string& json)
{
    watched->note(line, json);
    noteAccountLine(line, json);
}

}  // namespace

TEST(AccountPanel, AtEveryRoundsEndTheResultAndTheMoveThatEndedItAreBothInView)
{
    RoundEnds ends;
    watched = &ends;
    int games = 0;
    for (unsigned seed = 1; seed <= 100; ++seed) {
        ends.seed = seed;
        resetAccountPanel();
        Harness harness(static_cast<int>(seed % 60));
        tellTableNews(noteAndWatch);
        // What the window shows at the result is what the panel holds as the frame is shown.
        platform::headless::setPauseObserver([&ends](int units) {
            if (units == pauseRoundResult)
                ends.atResult();
        });
        std::mt19937 random(seed);
        harness.command(ids::commandNew);
        for (int inputs = 0; game.gameRunning && inputs < 5000; ++inputs) {
            harness.pinSeconds(static_cast<int>(random() % 60));
            const int pick = static_cast<int>(random() % 100);
            if (pick < 70)
                harness.tapControl(ids::controlTable1 + static_cast<int>(random() % 6));
            else
                harness.tapControl(pick < 85 ? ids::controlPass : ids::controlStop);
        }
        games += game.gameRunning ? 0 : 1;
        platform::headless::setPauseObserver(nullptr);
        tellTableNews(nullptr);
        if (HasFailure())
            break;
    }
    watched = nullptr;
    EXPECT_EQ(games, 100);
    EXPECT_GT(ends.checked, 500);
    // The rounds that matter: a long result after a long deciding move.
    EXPECT_GT(ends.tight, 8);
    RecordProperty("tight", ends.tight);
}

// ---- The hint --------------------------------------------------------------------

TEST(AccountPanel, AHintReplacesTheHintJustBeforeItButNotOneOfAnEarlierTurn)
{
    resetAccountPanel();
    Harness harness(23);
    tellTableNews(noteAccountLine);
    harness.key(platform::keyF2);
    ASSERT_TRUE(game.gameRunning);
    ASSERT_EQ(game.currentSeat, seatSouth);
    const std::size_t before = accountPanel().lines.size();
    for (int presses = 0; presses < 3; ++presses)
        harness.key(presses == 1 ? 'h' : 'H');
    platform::SideText text = accountPanel();
    ASSERT_EQ(text.lines.size(), before + 1) << "each H adds a line";
    EXPECT_EQ(text.lines[0].rfind("Hint: ", 0), 0u) << text.lines[0];
    const std::string firstHint = text.lines[0];

    // A move, the other seats' moves, and the next turn's hint is a line of its own.
    harness.tapControl(harness.controlVisible(ids::controlPass) ? ids::controlPass : ids::controlStop);
    ASSERT_TRUE(game.gameRunning);
    ASSERT_EQ(game.currentSeat, seatSouth);
    harness.key('H');
    text = accountPanel();
    EXPECT_EQ(text.lines[0].rfind("Hint: ", 0), 0u) << text.lines[0];
    int hints = 0;
    for (const std::string& line : text.lines)
        hints += line.rfind("Hint: ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(hints, 2);
    EXPECT_NE(std::find(text.lines.begin() + 1, text.lines.end(), firstHint), text.lines.end());

    // M pressed three times: one line, saying where it ended.
    const std::size_t withHints = text.lines.size();
    for (int presses = 0; presses < 3; ++presses)
        harness.key('M');
    text = accountPanel();
    EXPECT_EQ(text.lines.size(), withHints + 1);
    EXPECT_EQ(text.lines[0].rfind("Sound o", 0), 0u) << text.lines[0];
    harness.key('M');
    tellTableNews(nullptr);
}

// ---- Scrolling -------------------------------------------------------------------

namespace {

std::vector<std::string> rowTexts(const platform::SideText& text)
{
    std::vector<std::string> rows;
    for (const platform::SideTextRow& row : platform::viewSideText(text).rows)
        rows.emplace_back(row.text);
    return rows;
}

}  // namespace

TEST(AccountPanel, KeysAndTheWheelScrollItAndNewLinesLeaveAnOlderViewInPlace)
{
    resetAccountPanel();
    Harness harness(31);
    tellTableNews(noteAccountLine);
    harness.key(platform::keyF2);
    // Passes and stops until the account holds more than a panel.
    for (int moves = 0; moves < 200 && platform::viewSideText(accountPanel()).lastFirstRow < 20; ++moves) {
        if (!game.gameRunning)
            harness.key(platform::keyF2);
        harness.tapControl(harness.controlVisible(ids::controlPass) ? ids::controlPass : ids::controlStop);
    }
    ASSERT_TRUE(game.gameRunning);
    // The view's rows look into the text they were laid out from: keep it.
    platform::SideText shown = accountPanel();
    platform::SideTextView view = platform::viewSideText(shown);
    ASSERT_GE(view.lastFirstRow, 20);
    EXPECT_EQ(view.firstRow, 0) << "the newest stays at the top until the player scrolls";

    // Page Down: the last row in view becomes the first.
    const std::string lastInView(view.rows.back().text);
    harness.key(platform::keyPageDown);
    shown = accountPanel();
    view = platform::viewSideText(shown);
    ASSERT_GT(view.firstRow, 0);
    EXPECT_EQ(view.rows.front().text, lastInView);
    const int paged = view.firstRow;
    harness.key(platform::keyWheelDown);
    EXPECT_EQ(accountPanel().firstRow, paged + 3);
    harness.key(platform::keyWheelUp);
    harness.key(platform::keyWheelUp);
    EXPECT_EQ(accountPanel().firstRow, paged - 3);
    harness.key(platform::keyPageUp);
    EXPECT_EQ(accountPanel().firstRow, 0) << "a page up from less than a page below the top";
    harness.key(platform::keyEnd);
    shown = accountPanel();
    view = platform::viewSideText(shown);
    EXPECT_EQ(view.firstRow, view.lastFirstRow);
    EXPECT_TRUE(wholeLineInView(shown, view, static_cast<int>(shown.lines.size()) - 1))
        << "End shows the oldest line kept";
    harness.key(platform::keyPageDown);
    EXPECT_EQ(accountPanel().firstRow, view.lastFirstRow) << "no further than the last page";

    // Scrolled down to older lines, the game's new lines do not move them.
    harness.key(platform::keyHome);
    harness.key(platform::keyPageDown);
    const platform::SideText older = accountPanel();
    ASSERT_GT(older.firstRow, 0);
    const std::size_t linesBefore = older.lines.size();
    const std::string newestBefore = older.lines[0];
    harness.tapControl(harness.controlVisible(ids::controlPass) ? ids::controlPass : ids::controlStop);
    const platform::SideText later = accountPanel();
    ASSERT_NE(later.lines[0], newestBefore) << "the move told nothing";
    EXPECT_EQ(rowTexts(later), rowTexts(older));
    EXPECT_GT(later.firstRow, older.firstRow);
    EXPECT_GE(later.lines.size(), std::min<std::size_t>(linesBefore + 1, 64));

    // Home: back to the newest, which then follows the game again.
    harness.key(platform::keyHome);
    EXPECT_EQ(accountPanel().firstRow, 0);
    harness.tapControl(harness.controlVisible(ids::controlPass) ? ids::controlPass : ids::controlStop);
    shown = accountPanel();
    view = platform::viewSideText(shown);
    EXPECT_EQ(view.firstRow, 0);
    EXPECT_EQ(view.rows.front().line, 0);

    // Hidden, it does not scroll; Ctrl with a paging key is no scrolling either.
    harness.key(static_cast<platform::Param>(accountPanelKey));
    harness.key(platform::keyPageDown);
    harness.key(static_cast<platform::Param>(accountPanelKey));
    EXPECT_EQ(accountPanel().firstRow, 0);
    harness.key(platform::keyPageDown, true);
    EXPECT_EQ(accountPanel().firstRow, 0);
    tellTableNews(nullptr);
}
