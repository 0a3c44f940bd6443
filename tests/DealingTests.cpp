// "New", the dealer draw, the deal and the dealer's keep-or-exchange choice.
#include "tests/CardHelpers.h"
#include "tests/Harness.h"

#include "flow/Dealing.h"
#include "model/Deck.h"
#include "resources/BoardIds.h"
#include "ui/ImageTables.h"

#include <gtest/gtest.h>

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

// ---- The second hand's animation -----------------------------------------------

TEST(DealAnimation, ComputerChoiceWaitsFourteenUnits)
{
    Harness harness;
    prepareDeal({card(7, hearts), card(8, hearts), card(9, spades)});
    const auto before = harness.pauseUnits();
    dealRound(seatWest, harness.boardWindow());
    EXPECT_EQ(harness.pauseUnits() - before, 14);
    // No trace of the second hand afterwards.
    for (int id = ids::controlSecondUpright1; id <= ids::controlSecondLast; ++id)
        EXPECT_EQ(platform::getControl(harness.boardWindow(), id), 0) << id;
}

TEST(DealAnimation, HumanKeepingRisesTowardTheTable)
{
    Harness harness;
    prepareDeal({});
    std::vector<std::vector<Place>> seen;
    std::vector<Place> atQuestion;
    watchSecondHand(harness, ids::controlSecondUpright1, seen);
    platform::headless::setBoxAnswerer([&](const std::string&, const std::string&, platform::BoxButtons) {
        atQuestion = secondHandPlaces(harness, ids::controlSecondUpright1);
        return platform::answerYes;
    });
    dealRound(seatSouth, harness.boardWindow());
    platform::headless::setPauseObserver(nullptr);

    ASSERT_EQ(atQuestion.size(), 3u);
    EXPECT_EQ(atQuestion[0].x, 60);
    EXPECT_EQ(atQuestion[0].y, 148);
    EXPECT_EQ(atQuestion[2].x, 120);
    // Pauses: 10 before the question, then one after each of steps 0..3.
    ASSERT_EQ(seen.size(), 5u);
    const int expectedY[4] = {138, 128, 118, 108};
    for (int step = 0; step < 4; ++step) {
        EXPECT_EQ(seen[step + 1][0].x, 60);
        EXPECT_EQ(seen[step + 1][1].x, 90);
        EXPECT_EQ(seen[step + 1][2].x, 120);
        for (const Place& place : seen[step + 1])
            EXPECT_EQ(place.y, expectedY[step]) << "step " << step;
    }
    for (int id = ids::controlSecondUpright1; id <= ids::controlSecondLast; ++id)
        EXPECT_EQ(platform::getControl(harness.boardWindow(), id), 0);
}

TEST(DealAnimation, EastExchangingSlidesOntoItsColumn)
{
    Harness harness;
    prepareDeal({card(ace, hearts), card(8, clubs), card(9, spades)});
    std::vector<std::vector<Place>> seen;
    watchSecondHand(harness, ids::controlSecondSide1, seen);
    dealRound(seatEast, harness.boardWindow());
    platform::headless::setPauseObserver(nullptr);

    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0][0].x, 148);
    EXPECT_EQ(seen[0][0].y, 90);
    EXPECT_EQ(seen[0][2].y, 150);
    const int expectedX[4] = {158, 168, 178, 188};
    for (int step = 0; step < 4; ++step) {
        for (int slot = 0; slot < 3; ++slot) {
            EXPECT_EQ(seen[step + 1][slot].x, expectedX[step]);
            EXPECT_EQ(seen[step + 1][slot].y, 90 + 30 * slot);
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
        const CardRecord& shown =
            id <= ids::controlTable3 ? game.TableCards[id - ids::controlTable1] : game.hands[1][id - ids::controlSouth1];
        const platform::Rect rect = harness.controlRect(id);
        EXPECT_TRUE(harness.boardShowsImage(rect.left, rect.top - platform::titleBarHeight, shown.uprightFace)) << id;
    }
    for (int id = ids::controlWest1; id <= ids::controlLastCard; ++id)
        EXPECT_FALSE(harness.controlVisible(id)) << id;
    EXPECT_TRUE(harness.boardShowsImage(LivesOriginX[1], LivesOriginY[1], LivesImagesUpright[4]));
    EXPECT_TRUE(harness.boardShowsImage(LivesOriginX[2], LivesOriginY[2], LivesImagesSide[4]));
}

TEST(NewGame, DuringAGameStartsOverWithFourLives)
{
    Harness harness(17);
    harness.command(ids::commandNew);
    game.lives[seatWest] = 1;
    game.lives[seatSouth] = 2;
    game.stopCalled = 1;
    harness.pinSeconds(0);
    harness.command(ids::commandNew);
    EXPECT_EQ(game.dealerSeat, seatSouth);
    EXPECT_EQ(game.gameRunning, 1);
    EXPECT_EQ(game.lives[seatSouth], 4);
    EXPECT_EQ(game.lives[seatWest], 4);
}
