// The expert and the coach: decisions that cannot depend on hidden cards,
// and a hint that frames the control to tap, says why and moves nothing.
#include "ai/Coach.h"
#include "ai/Expert.h"
#include "ai/TableMemory.h"
#include "app/Hint.h"
#include "app/KeyboardFocus.h"
#include "app/TableAccount.h"
#include "flow/TurnEngine.h"
#include "model/CardCatalogue.h"
#include "resources/BoardIds.h"
#include "ui/Controls.h"
#include "tests/Harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

// A round in play, dealt from a shuffled deck: seat `seat` to move, a few
// passes and a Stop or not, and some cards other seats took from the table.
struct Position {
    GameState state{};
    TableMemory memory{};
};

Position dealtPosition(unsigned seed, Seat seat)
{
    std::mt19937 random(seed);
    std::vector<CardRecord> deck(std::begin(CardCatalogue), std::end(CardCatalogue));
    std::shuffle(deck.begin(), deck.end(), random);
    Position p;
    int next = 0;
    for (Seat each = 1; each <= seatCount; ++each) {
        p.state.lives[each] = static_cast<std::int16_t>(1 + random() % 4);
        p.state.passCount[each] = static_cast<std::int32_t>(random() % 3);
        for (CardRecord& card : p.state.hands[each])
            card = deck[next++];
    }
    for (CardRecord& card : p.state.TableCards)
        card = deck[next++];
    for (CardRecord& card : p.state.Deck)
        card = deck[static_cast<std::size_t>(next++ % deckSize)];
    p.state.currentSeat = seat;
    p.state.dealerSeat = 1 + static_cast<Seat>(seed % 4);
    p.state.gameRunning = 1;
    p.state.stopCalled = seed % 3 == 0 ? 1 : 0;
    p.memory.seconds = static_cast<std::int32_t>(seed % 60);
    p.memory.round = 3;
    // West is known to hold its middle card, taken from the table; east and
    // the human last passed on this table, which the worlds must explain.
    p.memory.heldAt[seatWest][1] = p.state.hands[seatWest][1];
    for (const Seat passed : {seatEast, seatSouth}) {
        SeenMove& seen = p.memory.lastMove[passed];
        seen.move = Move::pass;
        for (int position = 0; position < cardsPerHand; ++position)
            seen.tableBefore[position] = p.state.TableCards[position];
        seen.passCount = p.state.passCount[passed];
    }
    return p;
}

// The same position with every card `seat` cannot see dealt again among
// the places that hide them: other hands (but the known card) and the deck.
Position withHiddenCardsMoved(const Position& p, Seat seat, unsigned seed)
{
    Position other = p;
    std::vector<CardRecord*> places;
    for (Seat each = 1; each <= seatCount; ++each) {
        for (int position = 0; position < cardsPerHand; ++position) {
            if (each != seat && !isDeckCard(p.memory.heldAt[each][position]))
                places.push_back(&other.state.hands[each][position]);
        }
    }
    std::vector<CardRecord> cards;
    for (CardRecord* place : places)
        cards.push_back(*place);
    std::shuffle(cards.begin(), cards.end(), std::mt19937(seed));
    for (std::size_t i = 0; i < places.size(); ++i)
        *places[i] = cards[i];
    std::reverse(std::begin(other.state.Deck), std::end(other.state.Deck));
    return other;
}

}  // namespace

TEST(Expert, DecidesAlikeInPositionsThatDifferOnlyInCardsItCannotSee)
{
    for (unsigned seed = 1; seed <= 12; ++seed) {
        for (const Seat seat : {seatSouth, seatNorth}) {
            const Position p = dealtPosition(seed, seat);
            const Position q = withHiddenCardsMoved(p, seat, seed + 100);
            ASSERT_FALSE(std::equal(std::begin(p.state.hands[seatEast]), std::end(p.state.hands[seatEast]),
                                    std::begin(q.state.hands[seatEast]), sameCard))
                << "seed " << seed << ": the two positions must differ in a hidden hand";
            const bool classic = seed % 2 == 0;
            const ExpertAdvice a = adviseMove(viewOf(p.state, p.memory, seat, classic));
            const ExpertAdvice b = adviseMove(viewOf(q.state, q.memory, seat, classic));
            const std::string where = "seed " + std::to_string(seed) + ", seat " + std::to_string(seat);
            EXPECT_EQ(a.best.planned.move, b.best.planned.move) << where;
            EXPECT_EQ(a.best.planned.handCard, b.best.planned.handCard) << where;
            EXPECT_EQ(a.best.planned.tableCard, b.best.planned.tableCard) << where;
            EXPECT_EQ(a.best.losses, b.best.losses) << where;
            EXPECT_EQ(a.runnerUp.losses, b.runnerUp.losses) << where;
            EXPECT_EQ(a.best.finalValues, b.best.finalValues) << where;
            // The same game values give the same play-outs: a replay decides the same.
            EXPECT_EQ(adviseMove(viewOf(p.state, p.memory, seat, classic)).best.finalValues, a.best.finalValues);
            if (seat != seatSouth) {
                EXPECT_EQ(chooseExpertMove(p.state, seat, {}).move, chooseExpertMove(p.state, seat, {}).move);
            }
        }
    }
}

TEST(Expert, TheDealersChoiceReadsNoCardDealtLater)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        Position p = dealtPosition(seed, seatEast);
        p.state.dealerChoicePending = 1;
        Position q = withHiddenCardsMoved(p, seatEast, seed + 7);
        std::swap(q.state.TableCards[0], q.state.hands[seatWest][0]);  // the table is not dealt yet
        const KeepAdvice a = adviseKeep(viewOf(p.state, p.memory, seatEast, false));
        const KeepAdvice b = adviseKeep(viewOf(q.state, q.memory, seatEast, false));
        EXPECT_EQ(a.keep, b.keep) << seed;
        EXPECT_EQ(a.lossesKeeping, b.lossesKeeping) << seed;
        EXPECT_EQ(a.lossesExchanging, b.lossesExchanging) << seed;
    }
}

TEST(Expert, TheTableRemembersWhereATakenCardLiesUntilItIsLaidDown)
{
    const Position p = dealtPosition(5, seatWest);
    tableMemory = TableMemory{};
    GameState after = p.state;
    std::swap(after.hands[seatWest][2], after.TableCards[0]);
    rememberExchange(p.state, after, seatWest);
    EXPECT_TRUE(sameCard(tableMemory.heldAt[seatWest][2], p.state.TableCards[0]));
    GameState later = after;
    std::swap(later.hands[seatWest][2], later.TableCards[1]);  // lays it down again
    rememberExchange(after, later, seatWest);
    EXPECT_TRUE(sameCard(tableMemory.heldAt[seatWest][2], after.TableCards[1]));
    GameState whole = later;
    for (int position = 0; position < cardsPerHand; ++position)
        std::swap(whole.hands[seatNorth][position], whole.TableCards[position]);
    rememberExchange(later, whole, seatNorth);
    for (int position = 0; position < cardsPerHand; ++position)
        EXPECT_TRUE(sameCard(tableMemory.heldAt[seatNorth][position], later.TableCards[position]));
    // The dealer's own cards laid aside are in its view alone.
    rememberLaidAside(seatEast, p.state.hands[seatEast]);
    EXPECT_EQ(viewOf(whole, tableMemory, seatEast, false).outOfPlay, cardsOf(p.state.hands[seatEast]));
    EXPECT_EQ(viewOf(whole, tableMemory, seatSouth, false).outOfPlay, 0u);
    tableMemory = TableMemory{};
}

namespace {

std::vector<std::string> told;

void keepLine(const std::string& line, const std::string&)
{
    told.push_back(line);
}

bool frameAround(const Harness& harness, int controlId)
{
    constexpr std::uint32_t focusYellow = 0xFFEC40;
    platform::Rect r = harness.controlRect(controlId);
    return harness.screenPixel(r.left - 1, (r.top + r.bottom) / 2) == focusYellow &&
           harness.screenPixel(r.right, (r.top + r.bottom) / 2) == focusYellow;
}

}  // namespace

// The control the hint should frame first, and after the hand card is selected.
int firstControlOf(const PlannedMove& planned)
{
    switch (planned.move) {
    case Move::exchangeOne:
        return ids::controlSouth1 + planned.handCard;
    case Move::exchangeAll:
        return ids::controlTable1;
    case Move::stop:
        return ids::controlStop;
    default:
        return isControlShown(ids::controlPass) ? ids::controlPass : ids::controlStop;
    }
}

TEST(Coach, HFramesTheSuggestedControlSaysWhyAndMovesNothingThroughWholeRounds)
{
    // Played by the keyboard alone: H, then Space on whatever it frames.
    int kinds[5] = {};
    for (const int seconds : {17, 23, 41}) {
        Harness harness(seconds);
        harness.queueAnswers(std::vector<int>(8, platform::answerYes));
        harness.key(platform::keyF2);
        for (int turn = 0; turn < 25 && game.gameRunning; ++turn) {
            ASSERT_EQ(game.currentSeat, seatSouth);
            told.clear();
            tellTableNews(keepLine);
            const GameState before = game;
            const ExpertAdvice advice = humanAdvisedMove();
            harness.key('H');
            tellTableNews(nullptr);
            ASSERT_EQ(told.size(), 1u) << seconds;
            EXPECT_EQ(told[0], hintLine(advice, before.hands[seatSouth], before.TableCards));
            EXPECT_EQ(std::memcmp(&before, &game, sizeof game), 0) << "a hint changed the game: " << told[0];

            const PlannedMove& planned = advice.best.planned;
            ++kinds[static_cast<int>(planned.move) - static_cast<int>(Move::pass)];
            const int expected = firstControlOf(planned);
            ASSERT_EQ(focusedControl(), expected) << told[0];
            EXPECT_TRUE(frameAround(harness, expected)) << told[0];
            harness.key(platform::keySpace);
            if (planned.move == Move::exchangeOne) {
                // Its hand card tapped, the frame moves on to the table card to take.
                const int table = ids::controlTable1 + planned.tableCard;
                ASSERT_EQ(focusedControl(), table) << told[0];
                EXPECT_TRUE(frameAround(harness, table)) << told[0];
                harness.key(platform::keySpace);
            } else if (planned.move == Move::exchangeAll) {
                for (const int next : {ids::controlTable2, ids::controlTable3}) {
                    harness.key('H');
                    ASSERT_EQ(focusedControl(), next) << told[0];
                    harness.key(platform::keySpace);
                }
            }
        }
    }
    const int stops = kinds[1];
    const int exchanges = kinds[2] + kinds[3];
    EXPECT_GT(stops, 0) << "no hint said Stop";
    EXPECT_GT(exchanges, 0) << "no hint said to exchange";
}

TEST(Coach, SaysTheValueAndBothChancesInOneLine)
{
    const CardRecord hand[3] = {CardCatalogue[1], CardCatalogue[9], CardCatalogue[17]};    // sevens
    const CardRecord table[3] = {CardCatalogue[0], CardCatalogue[8], CardCatalogue[25]};  // aces
    ExpertAdvice advice;
    advice.playOuts = 100;
    advice.best = {{Move::exchangeOne, 0, 0}, 18.0, 9, 0, 0};
    advice.runnerUp = {{Move::stop, 0, 0}, 7.0, 12, 0, 0};
    EXPECT_EQ(hintLine(advice, hand, table),
              "Hint: take the ace of clubs for your seven of clubs: 18, lowest in 9 % of play-outs; stopping "
              "gives 12 %.");
    advice.best = {{Move::stop, 0, 0}, 28.0, 9, 0, 0};
    advice.runnerUp = {{Move::exchangeAll, 0, 0}, 21.0, 12, 0, 0};
    EXPECT_EQ(hintLine(advice, hand, table), "Hint: Stop: 28, lowest in 9 % of play-outs; exchanging gives 12 %.");
    advice.best = {{Move::exchangeOne, 1, 2}, 31.0, 0, 0, 0};
    EXPECT_EQ(hintLine(advice, hand, table).substr(0, 11), "Hint: take ");
    EXPECT_EQ(hintLine(advice, hand, table).back(), '.');
    EXPECT_NE(hintLine(advice, hand, table).find(": 31."), std::string::npos);
    KeepAdvice keep{true, 24.0, 30, 41, 100};
    EXPECT_EQ(keepHintLine(keep), "Hint: keep: 24, lowest in 30 % of play-outs; exchanging gives 41 %.");
}
