// The expert and the coach where any sound player knows the move, and the
// coach's hint on the board and in the keep box: the words, the frame on the
// presented screen, and a game record the hint leaves as it found it.
#include "ai/Coach.h"
#include "ai/Expert.h"
#include "ai/TableLevel.h"
#include "ai/TableMemory.h"
#include "app/Hint.h"
#include "app/KeyboardFocus.h"
#include "app/TableAccount.h"
#include "model/CardCatalogue.h"
#include "model/CardNames.h"
#include "platform/Backend.h"
#include "resources/BoardIds.h"
#include "tests/Harness.h"
#include "ui/Drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

// ---- Decisions ------------------------------------------------------------------------------

// What a row accepts: a move, or at the keep question the dealer's answer.
enum class Choice { pass, stop, oneCard, wholeTable, keep, takeNextThree };

struct Accepted {
    Choice choice;
    int handCard = 0;  // one card: the hand and table positions
    int tableCard = 0;
};

enum class Turn { first, later, keepQuestion };

// Seats in a row count from the seat to move: 0 itself, 1 the next, 2 and 3 the others.
struct DecisionRow {
    const char* reason;
    const char* hand;   // card codes, "Kh" the king of hearts
    const char* table;  // unused at the keep question
    Turn turn;
    std::int16_t lives[seatCount];
    const char* seen;  // "2:Ad": seat 2 was seen to take the ace of diamonds from the table
    std::vector<Accepted> accepted;
};

CardRecord cardCoded(const std::string& code)
{
    for (const CardRecord& c : CardCatalogue) {
        if (cardCode(c) == code)
            return c;
    }
    ADD_FAILURE() << "no card " << code;
    return {};
}

// Three cards from their codes, "7c Kh Qh".
std::array<CardRecord, cardsPerHand> threeCards(const std::string& codes)
{
    std::array<CardRecord, cardsPerHand> cards{};
    std::istringstream words(codes);
    std::string code;
    for (CardRecord& c : cards) {
        if (words >> code)
            c = cardCoded(code);
    }
    return cards;
}

Seat seatAfter(Seat seat, int offset)
{
    return (seat - 1 + offset) % seatCount + 1;
}

struct Position {
    GameState state{};
    TableMemory memory{};
};

// The row dealt to `mover`; the dealer sits just before it, so on a first
// turn it moves first. Hidden hands stay empty: no view reads them.
Position positionOf(const DecisionRow& row, Seat mover)
{
    const bool keepQuestion = row.turn == Turn::keepQuestion;
    Position p;
    GameState& s = p.state;
    s.gameRunning = 1;
    s.currentSeat = mover;
    s.dealerSeat = keepQuestion ? mover : seatAfter(mover, 3);
    s.dealerChoicePending = keepQuestion ? 1 : 0;
    s.firstTurnOfRound = row.turn == Turn::later ? 0 : 1;
    for (int offset = 0; offset < seatCount; ++offset)
        s.lives[seatAfter(mover, offset)] = row.lives[offset];
    const auto hand = threeCards(row.hand);
    const auto table = threeCards(row.table);
    for (int position = 0; position < cardsPerHand; ++position) {
        s.hands[mover][position] = hand[position];
        if (!keepQuestion)
            s.TableCards[position] = table[position];
    }
    tableMemory = TableMemory{};
    rememberNewRound(7);
    std::istringstream words(row.seen);
    std::string word;
    int taken[seatCount + 1] = {};
    while (words >> word) {
        const Seat seat = seatAfter(mover, word[0] - '0');
        const int position = taken[seat]++;
        const CardRecord card = cardCoded(word.substr(2));
        GameState before{};
        GameState after{};
        before.TableCards[0] = card;
        after.hands[seat][position] = card;
        rememberExchange(before, after, seat);
        s.hands[seat][position] = card;
    }
    p.memory = tableMemory;
    tableMemory = TableMemory{};
    return p;
}

bool accepts(const DecisionRow& row, const PlannedMove& planned)
{
    for (const Accepted& a : row.accepted) {
        const bool same = (a.choice == Choice::pass && planned.move == Move::pass) ||
                          (a.choice == Choice::stop && planned.move == Move::stop) ||
                          (a.choice == Choice::wholeTable && planned.move == Move::exchangeAll) ||
                          (a.choice == Choice::oneCard && planned.move == Move::exchangeOne &&
                           a.handCard == planned.handCard && a.tableCard == planned.tableCard);
        if (same)
            return true;
    }
    return false;
}

bool accepts(const DecisionRow& row, bool keep)
{
    for (const Accepted& a : row.accepted) {
        if (a.choice == (keep ? Choice::keep : Choice::takeNextThree))
            return true;
    }
    return false;
}

std::string describe(const PlannedMove& planned)
{
    switch (planned.move) {
    case Move::pass:
        return "Pass";
    case Move::stop:
        return "Stop";
    case Move::exchangeAll:
        return "the whole table";
    case Move::exchangeOne:
        return "hand card " + std::to_string(planned.handCard) + " for table card " + std::to_string(planned.tableCard);
    default:
        return "no move";
    }
}

}  // namespace

TEST(Decisions, TheExpertAndTheCoachMakeTheMoveAnySoundPlayerKnows)
{
    const std::vector<DecisionRow> rows = {
        {"31 ends the round at once", "7c Kh Qh", "Ah 8d 9s", Turn::first, {1, 3, 2, 4}, "", {{Choice::oneCard, 0, 0}}},
        {"31; the next seat is out", "Ks Ts 8d", "9c As 7h", Turn::later, {2, 0, 2, 2}, "", {{Choice::oneCard, 2, 1}}},
        {"three aces: the rest lose", "As 7c Ad", "8d Ah 9s", Turn::later, {3, 3, 3, 3}, "", {{Choice::oneCard, 1, 1}}},
        {"three aces beat 28", "Ks Qs 8s", "Ac Ad Ah", Turn::later, {2, 2, 2, 2}, "", {{Choice::wholeTable}}},
        {"first turn: no Stop, 30 stands", "As Ks 9s", "7c 8d Th", Turn::first, {4, 4, 4, 4}, "", {{Choice::pass}}},
        // Nothing beats 21 here. Giving the queen of hearts for the nine of
        // diamonds hands the next seat 31 by the ace and king of hearts, and
        // the two others are seen to hold 21 at least: the round would end with
        // this seat lowest. Any other move keeping 21 leaves it a chance; Stop
        // at 21 against those two rests it all on the next seat's hand.
        {"no 31 left for the next seat",
         "Ac Kc Qh",
         "9d Ah Kh",
         Turn::later,
         {3, 3, 3, 3},
         "2:Ad 2:Kd 3:As 3:Qs",
         {{Choice::pass},
          {Choice::oneCard, 2, 1},
          {Choice::oneCard, 2, 2},
          {Choice::oneCard, 0, 1},
          {Choice::oneCard, 1, 1},
          {Choice::wholeTable}}},
        {"a dealt 31 is kept", "Ah Kh Qh", "", Turn::keepQuestion, {2, 2, 2, 2}, "", {{Choice::keep}}},
        {"dealt three aces are kept", "Ac Ad As", "", Turn::keepQuestion, {1, 4, 4, 4}, "", {{Choice::keep}}},
        // No two cards of a suit: the hand is worth its highest card.
        {"a dealt 9 is exchanged", "7c 8d 9h", "", Turn::keepQuestion, {3, 3, 3, 3}, "", {{Choice::takeNextThree}}},
    };

    for (const DecisionRow& row : rows) {
        for (Seat mover = seatSouth; mover <= seatEast; ++mover) {
            const Position p = positionOf(row, mover);
            for (const bool classic : {false, true}) {
                const std::string where = std::string(row.reason) + "; seat " + std::to_string(mover) +
                                          (classic ? ", classic table" : ", expert table");
                if (row.turn == Turn::keepQuestion) {
                    const bool keep = adviseKeep(viewOf(p.state, p.memory, mover, classic)).keep;
                    EXPECT_TRUE(accepts(row, keep)) << where << ": " << (keep ? "keeps" : "takes the next three");
                } else {
                    const PlannedMove planned = adviseMove(viewOf(p.state, p.memory, mover, classic)).best.planned;
                    EXPECT_TRUE(accepts(row, planned)) << where << ": " << describe(planned);
                }
                if (mover != seatSouth)
                    continue;
                // The coach reads the game and the table's memory themselves, at the table's level.
                game = p.state;
                tableMemory = p.memory;
                setTableLevel(classic ? TableLevel::classic : TableLevel::expert);
                if (row.turn == Turn::keepQuestion) {
                    const bool keep = humanAdvisedToKeep().keep;
                    EXPECT_TRUE(accepts(row, keep)) << "coach: " << where;
                } else {
                    const PlannedMove planned = humanAdvisedMove().best.planned;
                    EXPECT_TRUE(accepts(row, planned)) << "coach: " << where << ": " << describe(planned);
                }
            }
        }
    }
    setTableLevel(TableLevel::classic);
    zeroGameState();
    tableMemory = TableMemory{};
}

// ---- Hints ----------------------------------------------------------------------------------

namespace {

std::vector<std::string> told;

void recordLine(const std::string& line, const std::string&)
{
    told.push_back(line);
}

// The keyboard's yellow frame on both sides of the control, as last presented.
bool frameAround(const Harness& harness, int controlId)
{
    constexpr std::uint32_t focusYellow = 0xFFEC40;
    const platform::Rect r = harness.controlRect(controlId);
    return harness.screenPixel(r.left - 1, (r.top + r.bottom) / 2) == focusYellow &&
           harness.screenPixel(r.right, (r.top + r.bottom) / 2) == focusYellow;
}

// Every control a hint may frame: the human's cards, the table, Pass and Stop.
std::vector<int> framedControls(const Harness& harness)
{
    std::vector<int> framed;
    for (const int id : {ids::controlSouth1, ids::controlSouth1 + 1, ids::controlSouth1 + 2, ids::controlTable1,
                         ids::controlTable2, ids::controlTable3, ids::controlPass, ids::controlStop}) {
        if (harness.controlVisible(id) && frameAround(harness, id))
            framed.push_back(id);
    }
    return framed;
}

// Puts `want` at `place`, swapping it out of whatever hand or table place
// holds it, so no card lies twice.
void placeCard(CardRecord& place, const CardRecord& want)
{
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        for (CardRecord& held : game.hands[seat]) {
            if (sameCard(held, want))
                std::swap(held, place);
        }
    }
    for (CardRecord& open : game.TableCards) {
        if (sameCard(open, want))
            std::swap(open, place);
    }
    place = want;
}

// A position set while the program waits for the human: what the table saw
// of the round so far no longer fits it, so the round's memory starts afresh.
void setHumanPosition(const char* handCodes, const char* tableCodes)
{
    const auto hand = threeCards(handCodes);
    const auto table = threeCards(tableCodes);
    for (int position = 0; position < cardsPerHand; ++position) {
        placeCard(game.hands[seatSouth][position], hand[position]);
        placeCard(game.TableCards[position], table[position]);
    }
    rememberNewRound(tableMemory.seconds);
    redrawAllCards();
}

// Presses H and returns the one line it told; the game record must not move.
std::string pressHint(Harness& harness)
{
    told.clear();
    tellTableNews(recordLine);
    const GameState before = game;
    harness.key(hintKey);
    tellTableNews(nullptr);
    EXPECT_EQ(std::memcmp(&before, &game, sizeof game), 0) << "a hint changed the game";
    EXPECT_EQ(told.size(), 1u);
    return told.empty() ? std::string() : told[0];
}

// A chance in the coach's words as a share in per cent: "about 1 in 4 deals" 25.
int percentOf(const std::string& words)
{
    if (words == "almost never")
        return 0;
    if (words == "almost every deal")
        return 100;
    std::smatch match;
    const std::regex share(R"(about (\d+) in (\d+) deals)");
    if (!std::regex_match(words, match, share))
        return -1;
    return 100 * std::stoi(match[1].str()) / std::stoi(match[2].str());
}

// The two chances a line gives, the hinted move's first.
bool chancesOf(const std::string& line, const std::regex& shape, int& hinted, int& other)
{
    std::smatch match;
    if (shape.mark_count() < 2 || !std::regex_match(line, match, shape))
        return false;
    hinted = percentOf(match[1].str());
    other = percentOf(match[2].str());
    return hinted >= 0 && other >= 0;
}

}  // namespace

TEST(Hints, OnTheBoardFramesEachControlToTapInTurnAndSaysWhy)
{
    // Each step: the controls framed, the focused one first; a step after the
    // first follows a tap on the previous step's focused control, with H
    // pressed again when `byKey`.
    struct Step {
        bool byKey;
        std::vector<int> framed;
    };
    struct Row {
        const char* kind;
        int seconds;  // 5: the human moves first; 17: a later turn; 24: after a Stop, Pass is not offered
        const char* hand;
        const char* table;
        const char* line;  // a pattern; any chances it gives are in groups 1 and 2
        std::vector<Step> steps;
    };
    const std::vector<Row> rows = {
        {"one card",
         17,
         "7c Kh Qh",
         "8d Ah 9s",
         R"(Hint: take the ace of hearts for your seven of clubs: 31, and the round ends\.)",
         {{true, {ids::controlSouth1}}, {false, {ids::controlTable2}}}},
        {"the whole table",
         17,
         "7c 8d 9s",
         "Ac Ad Ah",
         R"(Hint: take the whole table: three aces, and the round ends\.)",
         // All three framed at once, and the rest after each tap.
         {{true, {ids::controlTable1, ids::controlTable2, ids::controlTable3}},
          {false, {ids::controlTable2, ids::controlTable3}},
          {false, {ids::controlTable3}}}},
        {"Pass",
         5,
         "As Ks 9s",
         "7c 8d Th",
         R"(Hint: Pass: three spades worth 30; you lose a life ([^,]+), (?:exchanging|stopping) ([^.]+)\.)",
         {{true, {ids::controlPass}}}},
        {"Stop",
         24,
         "As Ks 9s",
         "7c 8d Th",
         R"(Hint: Stop: three spades worth 30(?:; [^;]+)?; you lose a life ([^,]+), (?:passing|exchanging) ([^.]+)\.)",
         {{true, {ids::controlStop}}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind);
        Harness harness(row.seconds);
        harness.queueAnswers(std::vector<int>(8, platform::answerYes));
        harness.key(platform::keyF2);
        ASSERT_EQ(game.currentSeat, seatSouth);
        ASSERT_EQ(game.firstTurnOfRound, row.seconds == 5 ? 1 : 0);
        ASSERT_EQ(harness.controlVisible(ids::controlPass), row.seconds != 24);
        setHumanPosition(row.hand, row.table);
        const std::regex shape(row.line);
        for (std::size_t step = 0; step < row.steps.size(); ++step) {
            if (step > 0)
                harness.tapControl(row.steps[step - 1].framed.front());
            if (row.steps[step].byKey) {
                const std::string line = pressHint(harness);
                EXPECT_TRUE(std::regex_match(line, shape)) << "step " << step << " said: " << line;
                int hinted = 0;
                int other = 0;
                if (chancesOf(line, shape, hinted, other)) {
                    EXPECT_LE(hinted, other) << line;
                }
            }
            std::vector<int> framed = row.steps[step].framed;
            std::sort(framed.begin(), framed.end());
            std::vector<int> shown = framedControls(harness);
            std::sort(shown.begin(), shown.end());
            EXPECT_EQ(shown, framed) << "step " << step;
            EXPECT_EQ(focusedControl(), row.steps[step].framed.front()) << "step " << step;
        }
    }
}

TEST(Hints, AtTheKeepQuestionFramesTheAnswerThatEnterThenGives)
{
    struct Row {
        const char* kind;
        const char* dealt;
        int answer;
        const char* line;  // the hinted choice's chance in group 1, the other's in group 2
    };
    const Row rows[] = {
        {"keep", "As Ks 9s", platform::answerYes,
         R"(Hint: keep: three spades worth 30; you lose a life ([^,]+), taking the next three ([^.]+)\.)"},
        {"take the next three", "7c 8d 9h", platform::answerNo,
         R"(Hint: take the next three: these make only 9; you lose a life ([^,]+), keeping them ([^.]+)\.)"},
    };
    constexpr std::uint32_t buttonFace = 0xE4E4E4;
    constexpr std::uint32_t innerFrame = 0x000000;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind);
        Harness harness(0);  // south deals
        setBoxHelpKey();     // as the program's entry does
        platform::headless::setBoxAnswerer(nullptr);
        int looks = 0;
        const auto dealt = threeCards(row.dealt);
        std::array<CardRecord, cardsPerHand> next{};
        GameState atHint{};
        // First look: the row's cards dealt and H pressed; second: the hint read and Enter pressed.
        platform::headless::setIdleHandler([&] {
            if (!platform::headless::boxOpen())
                return;
            if (looks++ == 0) {
                ASSERT_NE(platform::backend::boxInWords().find("Keep this cards?"), std::string::npos);
                // The dealer holds the deck's first three and the next three
                // follow, so reordering the deck deals the row's cards.
                for (int position = 0; position < cardsPerHand; ++position) {
                    for (CardRecord& c : game.Deck) {
                        if (sameCard(c, dealt[position]))
                            std::swap(c, game.Deck[position]);
                    }
                    game.hands[seatSouth][position] = game.Deck[position];
                    next[position] = game.Deck[cardsPerHand + position];
                    drawCardControl(ids::controlSouth1 + position);
                }
                told.clear();
                tellTableNews(recordLine);
                atHint = game;
                platform::headless::pushKey(hintKey);
                return;
            }
            tellTableNews(nullptr);
            EXPECT_EQ(std::memcmp(&atHint, &game, sizeof game), 0) << "a hint changed the game";
            ASSERT_EQ(told.size(), 1u);
            int hinted = 0;
            int other = 0;
            EXPECT_TRUE(chancesOf(told[0], std::regex(row.line), hinted, other)) << told[0];
            EXPECT_LE(hinted, other) << told[0];
            const int refused = row.answer == platform::answerYes ? platform::answerNo : platform::answerYes;
            const platform::Rect framed = platform::backend::boxButtonRect(row.answer);
            const platform::Rect plain = platform::backend::boxButtonRect(refused);
            EXPECT_EQ(harness.screenPixel(framed.left + 1, (framed.top + framed.bottom) / 2), innerFrame);
            EXPECT_EQ(harness.screenPixel(plain.left + 1, (plain.top + plain.bottom) / 2), buttonFace);
            platform::headless::pushKey(platform::keyEnter);
        });
        harness.key(platform::keyF2);
        platform::headless::setIdleHandler(nullptr);
        tellTableNews(nullptr);
        platform::setBoxHelpKey(0, nullptr);
        EXPECT_EQ(looks, 2);
        const auto& expected = row.answer == platform::answerYes ? dealt : next;
        for (int position = 0; position < cardsPerHand; ++position)
            EXPECT_TRUE(sameCard(game.hands[seatSouth][position], expected[position])) << position;
    }
}
