// "New", the dealer draw, the deal and the dealer's keep-or-exchange choice.
#include "tests/BoardReading.h"
#include "tests/CardHelpers.h"
#include "tests/Harness.h"

#include "flow/Dealing.h"
#include "model/Deck.h"
#include "model/GameEvents.h"
#include "resources/BoardIds.h"
#include "resources/ResourceIds.h"
#include "ui/Controls.h"
#include "ui/ImageTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

using namespace testing_support;

namespace {

void expectHandIsDeck(Seat seat, int firstDeckPosition)
{
    for (int position = 0; position < 3; ++position)
        EXPECT_TRUE(sameCard(game.hands[seat][position], game.Deck[firstDeckPosition + position]))
            << "seat " << seat << " position " << position;
}

void expectTableIsDeck(int firstDeckPosition)
{
    for (int position = 0; position < 3; ++position)
        EXPECT_TRUE(sameCard(game.TableCards[position], game.Deck[firstDeckPosition + position]))
            << "table position " << position;
}

// A fresh game record with four lives each, the deck in catalogue order and
// `dealerCards` put on top.
void prepareDeal(std::vector<CardRecord> topCards)
{
    setDeckInCatalogueOrder();
    for (std::size_t i = 0; i < topCards.size(); ++i) {
        // Swap the wanted card to the top so the deck stays a permutation.
        for (CardRecord& each : game.Deck) {
            if (sameCard(each, topCards[i])) {
                std::swap(each, game.Deck[i]);
                break;
            }
        }
    }
    for (Seat seat = 1; seat <= 4; ++seat)
        game.lives[seat] = 4;
    game.dealerChoicePending = 1;
}

struct Place {
    int x;
    int y;
};

// Board positions of the three second-hand controls from `firstId`; empty unless all three exist.
std::vector<Place> secondHandPlaces(const Harness& harness, int firstId)
{
    std::vector<Place> places;
    for (int id = firstId; id < firstId + 3; ++id) {
        const platform::Rect rect = harness.controlRect(id);
        if (rect.right <= rect.left)
            return {};
        places.push_back(Place{rect.left, rect.top - platform::titleBarHeight});
    }
    return places;
}

// How far a second-hand card's corner is from the middle table card's corner, in board pixels.
double distanceToTable(const Harness& harness, Place place)
{
    const platform::Rect table = harness.controlRect(ids::controlTable2);
    const double dx = place.x - table.left;
    const double dy = place.y - (table.top - platform::titleBarHeight);
    return std::sqrt(dx * dx + dy * dy);
}

// Records the second hand's places at every pause.
void watchSecondHand(const Harness& harness, int firstId, std::vector<std::vector<Place>>& seen)
{
    platform::headless::setPauseObserver([&harness, firstId, &seen](int) {
        std::vector<Place> places = secondHandPlaces(harness, firstId);
        if (!places.empty())
            seen.push_back(places);
    });
}

}  // namespace

// ---- Dealer draw -------------------------------------------------------------

TEST(DealerDraw, EqualRanksGoToTheLaterSeat)
{
    Harness harness;
    prepareDeal({card(9, clubs), card(king, hearts), card(8, diamonds), card(king, spades)});
    dealerDraw(harness.boardWindow());
    const auto pausesBefore = harness.pauseUnits();
    EXPECT_EQ(chooseDealer(), seatEast);
    EXPECT_EQ(harness.pauseUnits() - pausesBefore, 10);
    // Only the middle card of each seat is shown and dealt.
    EXPECT_TRUE(harness.controlVisible(ids::controlWest1 + 1));
    EXPECT_FALSE(harness.controlVisible(ids::controlWest1));
    EXPECT_TRUE(sameCard(game.hands[seatWest][1], card(king, hearts)));
    EXPECT_EQ(game.hands[seatWest][0].rank, 0);
}

TEST(DealerDraw, AnAceForSouthMakesTheHumanDeal)
{
    Harness harness;
    prepareDeal({card(ace, clubs), card(king, hearts), card(8, diamonds), card(king, spades)});
    dealerDraw(harness.boardWindow());
    EXPECT_EQ(chooseDealer(), seatSouth);
}

// ---- The deal ------------------------------------------------------------------

TEST(Deal, HumanDealerAnsweringNoTakesTheNextThreeCards)
{
    Harness harness;
    prepareDeal({});
    harness.queueAnswers({platform::answerNo});
    dealRound(seatSouth, harness.boardWindow());

    ASSERT_EQ(harness.boxes().size(), 1u);
    EXPECT_EQ(harness.boxes()[0].text, "Keep this cards?");
    EXPECT_EQ(harness.boxes()[0].caption, "Player choice:");
    expectHandIsDeck(seatSouth, 3);
    expectHandIsDeck(seatWest, 6);
    expectHandIsDeck(seatNorth, 9);
    expectHandIsDeck(seatEast, 12);
    expectTableIsDeck(15);
    EXPECT_EQ(game.dealerChoicePending, 0);
}

TEST(Deal, HumanDealerAnsweringYesKeepsItsCardsFaceUp)
{
    Harness harness;
    prepareDeal({});
    harness.queueAnswers({platform::answerYes});
    dealRound(seatSouth, harness.boardWindow());
    expectHandIsDeck(seatSouth, 0);
    expectHandIsDeck(seatWest, 3);
    expectTableIsDeck(12);
    for (int id = ids::controlSouth1; id < ids::controlSouth1 + 3; ++id)
        EXPECT_TRUE(harness.controlVisible(id));
    // The table is dealt but left hidden for the caller to show.
    EXPECT_FALSE(harness.controlVisible(ids::controlTable1));
}

TEST(Deal, DealersBoxAnsweringZeroCountsAsKeeping)
{
    // A box that cannot run (the process has ended, as the window's close
    // ends it) answers 0, which is neither Yes nor No: the choice must still
    // be one of the two, the same for the deal and for what is reported.
    EXPECT_EQ(dealerChoiceOf(platform::answerYes), DealerChoice::keep);
    EXPECT_EQ(dealerChoiceOf(platform::answerNo), DealerChoice::exchange);
    EXPECT_EQ(dealerChoiceOf(0), DealerChoice::keep);

    Harness harness;
    prepareDeal({});
    static int reportedKept;
    reportedKept = -1;
    gameWatcher.dealerDecided = [](Seat, bool kept) { reportedKept = kept ? 1 : 0; };
    platform::exitProcess(0);
    dealRound(seatSouth, harness.boardWindow());
    gameWatcher.dealerDecided = nullptr;
    EXPECT_EQ(harness.boxes().size(), 0u);
    EXPECT_EQ(reportedKept, 1);
    expectHandIsDeck(seatSouth, 0);
}

TEST(Deal, ComputerDealerKeepsAtExactlyFifteen)
{
    Harness harness;
    prepareDeal({card(7, hearts), card(8, hearts), card(9, spades)});
    dealRound(seatWest, harness.boardWindow());
    EXPECT_TRUE(harness.boxes().empty());
    expectHandIsDeck(seatWest, 0);
    EXPECT_EQ(game.handValue[seatWest], 15.0);
    expectHandIsDeck(seatNorth, 3);
    expectHandIsDeck(seatEast, 6);
    expectHandIsDeck(seatSouth, 9);
    expectTableIsDeck(12);
    // A computer's cards stay hidden; so does the human's when it is not the dealer.
    EXPECT_FALSE(harness.controlVisible(ids::controlWest1));
    EXPECT_FALSE(harness.controlVisible(ids::controlSouth1));
}

TEST(Deal, ComputerDealerExchangesBelowFifteen)
{
    Harness harness;
    prepareDeal({card(ace, hearts), card(8, clubs), card(9, spades)});
    dealRound(seatEast, harness.boardWindow());
    expectHandIsDeck(seatEast, 3);
    expectHandIsDeck(seatSouth, 6);
    expectTableIsDeck(15);
}

TEST(Deal, SeatOutOfTheGameIsSkippedAndFinished)
{
    Harness harness;
    prepareDeal({});
    game.lives[seatWest] = 0;
    game.finishedFlags[seatWest] = 0;
    dealRound(seatNorth, harness.boardWindow());
    // North deals and keeps or exchanges; east and south follow, then the table.
    const int after = game.handValue[seatNorth] >= 15.0 ? 3 : 6;
    expectHandIsDeck(seatEast, after);
    expectHandIsDeck(seatSouth, after + 3);
    expectTableIsDeck(after + 6);
    EXPECT_EQ(game.hands[seatWest][0].rank, 0);
    EXPECT_EQ(game.finishedFlags[seatWest], 1);
    EXPECT_EQ(game.finishedFlags[seatNorth], 0);
}

TEST(Deal, DealtThirtyOneClosesTheRoundWithoutFinishingAnyone)
{
    Harness harness;
    // West deals and keeps 31.
    prepareDeal({card(ace, hearts), card(king, hearts), card(queen, hearts)});
    game.roundClosing = 0;
    dealRound(seatWest, harness.boardWindow());
    EXPECT_EQ(game.roundClosing, 1);
    for (Seat seat = 1; seat <= 4; ++seat)
        EXPECT_EQ(game.finishedFlags[seat], 0);
}

// Every seat's hand is valued as it is dealt, so a round that ends before a
// seat has moved still scores that seat's cards.
TEST(Deal, EverySeatIsValuedAsDealtAndARoundEndedAtOnceScoresThoseValues)
{
    Harness harness;
    prepareDeal({
        card(10, hearts), card(9, hearts), card(7, spades),       // east deals and keeps 19
        card(ace, clubs), card(king, clubs), card(7, diamonds),   // south: 21
        card(10, spades), card(jack, spades), card(8, hearts),    // west: 20
        card(9, diamonds), card(8, spades), card(queen, hearts),  // north: three suits, its queen, 10
        card(queen, clubs), card(8, diamonds), card(9, clubs),    // the table
    });
    dealRound(seatEast, harness.boardWindow());
    EXPECT_EQ(game.handValue[seatSouth], 21.0);
    EXPECT_EQ(game.handValue[seatWest], 20.0);
    EXPECT_EQ(game.handValue[seatNorth], 10.0);
    EXPECT_EQ(game.handValue[seatEast], 19.0);

    // South moves first and takes the queen of clubs for 31: the round ends
    // before anyone else moves, and north's 10 as dealt is the lowest hand.
    game.gameRunning = 1;
    game.dealerSeat = seatEast;
    game.currentSeat = seatSouth;
    game.firstTurnOfRound = 1;
    showTableAndHumanCards();
    harness.tapControl(ids::controlSouth1 + 2);
    harness.tapControl(ids::controlTable1);
    EXPECT_EQ(game.lives[seatSouth], 4);
    EXPECT_EQ(game.lives[seatWest], 4);
    EXPECT_EQ(game.lives[seatNorth], 3);
    EXPECT_EQ(game.lives[seatEast], 4);
}

// ---- The second hand's animation -----------------------------------------------

TEST(DealAnimation, ComputerChoiceWaitsFourteenUnits)
{
    Harness harness;
    prepareDeal({card(7, hearts), card(8, hearts), card(9, spades)});
    const auto before = harness.pauseUnits();
    static std::vector<platform::Handle> secondHand;
    secondHand.clear();
    platform::headless::setPauseObserver([](int) {
        for (const platform::Handle control : boardControls.secondHand) {
            if (control != 0 && std::find(secondHand.begin(), secondHand.end(), control) == secondHand.end())
                secondHand.push_back(control);
        }
    });
    dealRound(seatWest, harness.boardWindow());
    platform::headless::setPauseObserver(nullptr);
    EXPECT_EQ(harness.pauseUnits() - before, 14);
    // No trace of the second hand afterwards: its three controls are destroyed, not just hidden.
    EXPECT_EQ(secondHand.size(), 3u);
    for (const platform::Handle control : secondHand)
        EXPECT_EQ(platform::getWindowRect(control), platform::Rect{}) << control;
    for (const platform::Handle control : boardControls.secondHand)
        EXPECT_EQ(control, 0);
    for (int id = ids::controlSecondUpright1; id <= ids::controlSecondLast; ++id)
        EXPECT_FALSE(harness.controlVisible(id)) << id;
}

TEST(DealAnimation, HumanKeepingRisesTowardTheTable)
{
    Harness harness;
    prepareDeal({});
    std::vector<std::vector<Place>> seen;
    std::vector<Place> atQuestion;
    watchSecondHand(harness, ids::controlSecondUpright1, seen);
    platform::headless::setBoxAnswerer([&](std::string_view, std::string_view, platform::BoxButtons) {
        atQuestion = secondHandPlaces(harness, ids::controlSecondUpright1);
        return platform::answerYes;
    });
    dealRound(seatSouth, harness.boardWindow());
    platform::headless::setPauseObserver(nullptr);

    ASSERT_EQ(atQuestion.size(), 3u);
    // Pauses: 10 before the question, then one after each of steps 0..3.
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0][0].x, atQuestion[0].x);
    EXPECT_EQ(seen[0][0].y, atQuestion[0].y);
    for (int step = 1; step < 5; ++step) {
        for (int slot = 0; slot < 3; ++slot) {
            EXPECT_LT(distanceToTable(harness, seen[step][slot]), distanceToTable(harness, seen[step - 1][slot]))
                << "step " << step << " slot " << slot;
            EXPECT_EQ(seen[step][slot].y, seen[step][0].y) << "the cards move as one row";
            EXPECT_EQ(seen[step][slot].x - seen[step][0].x, seen[0][slot].x - seen[0][0].x) << "spacing";
        }
    }
    for (const platform::Handle control : boardControls.secondHand)
        EXPECT_EQ(control, 0);
    // Ten pixels a step, from just above the human's cards to the table's row.
    const int rowAtStep[4] = {138, 128, 118, 108};
    for (int step = 0; step < 4; ++step) {
        EXPECT_EQ(seen[step + 1][0].x, 60) << "step " << step;
        EXPECT_EQ(seen[step + 1][0].y, rowAtStep[step]) << "step " << step;
    }
    for (int id = ids::controlSecondUpright1; id <= ids::controlSecondLast; ++id)
        EXPECT_FALSE(harness.controlVisible(id)) << id;
}

TEST(DealAnimation, EastExchangingSlidesAwayFromTheTable)
{
    Harness harness;
    prepareDeal({card(ace, hearts), card(8, clubs), card(9, spades)});
    std::vector<std::vector<Place>> seen;
    watchSecondHand(harness, ids::controlSecondSide1, seen);
    dealRound(seatEast, harness.boardWindow());
    platform::headless::setPauseObserver(nullptr);

    ASSERT_EQ(seen.size(), 5u);
    for (int step = 1; step < 5; ++step) {
        for (int slot = 0; slot < 3; ++slot) {
            EXPECT_GT(distanceToTable(harness, seen[step][slot]), distanceToTable(harness, seen[step - 1][slot]))
                << "step " << step << " slot " << slot;
            EXPECT_EQ(seen[step][slot].x, seen[step][0].x) << "the cards move as one column";
            EXPECT_EQ(seen[step][slot].y - seen[step][0].y, seen[0][slot].y - seen[0][0].y) << "spacing";
        }
    }
}

// What the player is shown: at the pause before the question and at each of
// the four steps, the frame presented has the three backs where the
// controls are, each over the ones before it; the last step ends where the
// seat's movement ends; once the hand is gone no frame shows it.
TEST(DealAnimation, EverySeatAndAnswerShowsTheSecondHandAtEachStepAndNowhereAfter)
{
    struct Case {
        Seat seat;
        bool keep;
        Place end[3];
    };
    const Case cases[] = {
        {seatSouth, true, {{60, 108}, {90, 108}, {120, 108}}},  {seatSouth, false, {{67, 188}, {97, 188}, {127, 188}}},
        {seatWest, true, {{74, 90}, {104, 94}, {134, 100}}},    {seatWest, false, {{10, 60}, {10, 90}, {10, 120}}},
        {seatNorth, true, {{74, 10}, {104, 10}, {134, 10}}},    {seatNorth, false, {{90, 90}, {120, 90}, {150, 90}}},
        {seatEast, true, {{74, 90}, {104, 94}, {134, 100}}},    {seatEast, false, {{188, 90}, {188, 120}, {188, 150}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "seat " << c.seat << (c.keep ? " keeping" : " exchanging"));
        Harness harness;
        // A computer dealer keeps 15 or more.
        if (c.keep)
            prepareDeal({card(ace, hearts), card(king, hearts), card(7, clubs)});
        else
            prepareDeal({card(7, hearts), card(8, clubs), card(9, spades)});
        harness.queueAnswers({c.keep ? platform::answerYes : platform::answerNo});
        const bool upright = c.seat == seatSouth || c.seat == seatNorth;
        const int back = upright ? res::imageBackUpright : res::imageBackSide;

        struct Shown {
            platform::headless::Frame frame;
            std::vector<platform::Rect> places;  // screen
        };
        std::vector<Shown> shown;
        std::vector<platform::headless::Frame> after;
        platform::headless::setPauseObserver([&](int) {
            const platform::headless::Frame& frame = *platform::headless::lastFrame();
            std::vector<platform::Rect> places;
            for (const platform::Handle control : boardControls.secondHand) {
                if (control != 0 && platform::isWindowVisible(control))
                    places.push_back(platform::getWindowRect(control));
            }
            if (places.empty()) {
                if (!shown.empty())
                    after.push_back(frame);
            } else {
                shown.push_back({frame, places});
            }
        });
        dealRound(c.seat, harness.boardWindow());
        harness.presentNow();
        after.push_back(*platform::headless::lastFrame());
        platform::headless::setPauseObserver(nullptr);

        ASSERT_EQ(shown.size(), 5u) << "the pause before the question and one a step";
        for (std::size_t pause = 0; pause < shown.size(); ++pause) {
            const std::vector<platform::Rect>& places = shown[pause].places;
            ASSERT_EQ(places.size(), 3u);
            for (std::size_t slot = 0; slot < 3; ++slot) {
                const std::vector<platform::Rect> above(places.begin() + static_cast<long>(slot) + 1, places.end());
                EXPECT_TRUE(frameShowsImage(shown[pause].frame, places[slot].left, places[slot].top, back, above))
                    << "pause " << pause << ", card " << slot + 1;
                if (pause > 0) {
                    EXPECT_NE(places[slot], shown[pause - 1].places[slot]) << "pause " << pause << " did not move";
                }
            }
        }
        for (std::size_t slot = 0; slot < 3; ++slot) {
            EXPECT_EQ(shown.back().places[slot].left, c.end[slot].x);
            EXPECT_EQ(shown.back().places[slot].top - platform::titleBarHeight, c.end[slot].y);
        }
        ASSERT_FALSE(after.empty());
        for (const platform::headless::Frame& frame : after) {
            for (const Shown& each : shown) {
                for (const platform::Rect& place : each.places)
                    EXPECT_FALSE(frameShowsImage(frame, place.left, place.top, back, {}))
                        << "frame " << frame.sequence << " still shows a back at " << place.left << "," << place.top;
            }
        }
    }
}

// ---- "New" --------------------------------------------------------------------

TEST(NewGame, HumanDealerIsAskedToKeepItsCards)
{
    // Seconds 0: the draw gives south a king, west an 8, north a queen, east a jack.
    Harness harness(0);
    harness.queueAnswers({platform::answerYes});
    harness.command(ids::commandNew);
    ASSERT_GE(harness.boxes().size(), 1u);
    EXPECT_EQ(harness.boxes()[0].text, "Keep this cards?");
    EXPECT_EQ(game.dealerSeat, seatSouth);
    EXPECT_EQ(game.gameRunning, 1);
    for (Seat seat = 1; seat <= 4; ++seat)
        EXPECT_LE(game.lives[seat], 4);
}

TEST(NewGame, DealersQuestionBoxCoversOnlyItsOwnArea)
{
    Harness harness(0);  // south deals
    std::vector<std::uint32_t> beforeBox;
    platform::headless::setPauseObserver([&](int) { beforeBox = harness.screenShot(); });
    int changed = -1;
    platform::headless::setBoxAnswerer([&](std::string_view, std::string_view, platform::BoxButtons) {
        changed = harness.pixelsChangedOutside(beforeBox, platform::headless::boxRect());
        return platform::answerYes;
    });
    harness.command(ids::commandNew);
    platform::headless::setPauseObserver(nullptr);
    EXPECT_EQ(platform::headless::lastBoxText(), "Keep this cards?");
    EXPECT_EQ(changed, 0);
}

TEST(NewGame, CardTapsMenuAndAboutMadeDuringTheDealersQuestionLeaveNoTrace)
{
    Harness harness(0);  // south deals
    platform::headless::setBoxAnswerer(nullptr);
    bool pushed = false;
    bool popupSeen = false;
    platform::headless::setIdleHandler([&] {
        popupSeen = popupSeen || platform::headless::popupOpen();
        if (!platform::headless::boxOpen() || pushed)
            return;
        pushed = true;
        const platform::Rect card = harness.controlRect(ids::controlSouth1);
        platform::headless::pushTap((card.left + card.right) / 2, (card.top + card.bottom) / 2);
        const platform::Rect game = platform::headless::menuButtonRect();
        platform::headless::pushTap((game.left + game.right) / 2, (game.top + game.bottom) / 2);
        platform::headless::pushKey('A', true);
        platform::headless::pushKey('Y');
    });
    harness.command(ids::commandNew);
    EXPECT_TRUE(pushed);
    EXPECT_EQ(game.dealerSeat, seatSouth);
    for (int position = 0; position < 3; ++position)
        EXPECT_EQ(game.handSelected[position], 0) << position;
    EXPECT_FALSE(popupSeen);
    EXPECT_EQ(platform::headless::dialogCount(), 0);
}

TEST(NewGame, BoardShowsTableAndHumanCardsAndFullLives)
{
    // Seconds 17: north draws the ace of hearts and deals; the deal is the same deck.
    Harness harness(17);
    harness.command(ids::commandNew);
    EXPECT_EQ(game.dealerSeat, seatNorth);
    EXPECT_TRUE(harness.boxes().empty());
    EXPECT_EQ(game.gameRunning, 1);
    // Whatever the computer seats did, the human is to move now with its cards and the table on show.
    ASSERT_EQ(game.currentSeat, seatSouth);
    for (int id = ids::controlTable1; id <= ids::controlSouth1 + 2; ++id) {
        EXPECT_TRUE(harness.controlVisible(id)) << id;
        const CardRecord& shown = id <= ids::controlTable3 ? game.TableCards[id - ids::controlTable1]
                                                           : game.hands[1][id - ids::controlSouth1];
        const platform::Rect rect = harness.controlRect(id);
        EXPECT_TRUE(harness.boardShowsImage(rect.left, rect.top - platform::titleBarHeight, shown.uprightFace)) << id;
    }
    for (int id = ids::controlWest1; id <= ids::controlLastCard; ++id)
        EXPECT_FALSE(harness.controlVisible(id)) << id;
    for (Seat seat = 1; seat <= 4; ++seat)
        EXPECT_EQ(coinsOn(readArea(harness, LivesSpots[seat])), 4) << "seat " << seat;
}

// The record as it stands when the deal is done, before any seat moves.
GameState atDeal;

TEST(NewGame, DuringAGameStartsOverWithFourLivesAndClearRoundFlags)
{
    Harness harness(17);
    harness.command(ids::commandNew);
    // The round in play has seen three aces, a Stop and a computer move.
    game.lives[seatWest] = 1;
    game.lives[seatSouth] = 2;
    game.stopCalled = 1;
    game.roundClosing = 1;
    game.threeAcesFlag = 1;
    game.firstTurnOfRound = 0;
    harness.pinSeconds(0);
    gameWatcher.dealt = [] { std::memcpy(&atDeal, &game, sizeof game); };
    harness.command(ids::commandNew);
    gameWatcher.dealt = nullptr;
    EXPECT_EQ(game.dealerSeat, seatSouth);
    EXPECT_EQ(game.gameRunning, 1);
    EXPECT_EQ(game.lives[seatSouth], 4);
    EXPECT_EQ(game.lives[seatWest], 4);
    for (Seat seat = 1; seat <= 4; ++seat)
        ASSERT_LT(atDeal.handValue[seat], 31.0) << "the deal itself closes the round; pin other seconds";
    EXPECT_EQ(atDeal.stopCalled, 0);
    EXPECT_EQ(atDeal.roundClosing, 0);
    EXPECT_EQ(atDeal.threeAcesFlag, 0);
    EXPECT_EQ(atDeal.firstTurnOfRound, 1);
}
