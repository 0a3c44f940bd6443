// The review: R after a round names the human's costliest decision of it,
// with the coach's move and both chances as the coach weighed them at that
// moment; after the game, the round where it mattered most. It moves nothing.
#include "ai/Coach.h"
#include "ai/TableMemory.h"
#include "app/HintWords.h"
#include "app/Review.h"
#include "app/TableAccount.h"
#include "model/CardNames.h"
#include "resources/BoardIds.h"
#include "tests/Harness.h"
#include "ui/Controls.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

std::vector<std::string> lines;

void keepLine(const std::string& line, const std::string&)
{
    lines.push_back(line);
}

struct Weighed {
    int round = 0;
    std::string made;   // the move's words as the review gives them
    std::string coach;
    int madeLosses = 0;
    int coachLosses = 0;
    int madePlayOuts = 0;  // each move's chance is out of the worlds it was weighed in
    int coachPlayOuts = 0;
    int cost() const { return madeLosses * 1000 / madePlayOuts - coachLosses * 1000 / coachPlayOuts; }
};

std::string movedWords(const PlannedMove& planned, const SeatView& view, bool made)
{
    const auto own = [](const CardRecord& card) { return "your " + cardName(card).substr(4); };
    switch (planned.move) {
    case Move::exchangeOne:
        return std::string(made ? "took " : "would have taken ") + cardName(view.table[planned.tableCard]) + " for " +
               own(view.hand[planned.handCard]);
    case Move::exchangeAll:
        return made ? "took the whole table" : "would have taken the whole table";
    case Move::stop:
        return made ? "said Stop" : "would have said Stop";
    default:
        return made ? "passed" : "would have passed";
    }
}

}  // namespace

TEST(Review, NamesTheCostliestDecisionOfEachRoundAndOfTheGameAsTheCoachWeighedIt)
{
    Harness harness(36);
    keepReview();
    harness.queueAnswers(std::vector<int>(40, platform::answerYes));
    harness.key(platform::keyF2);
    std::vector<Weighed> worst;  // a round's costliest, in order
    int reviewed = 0;
    int roundSeen = tableMemory.round;
    const int firstRound = roundSeen;
    for (int decision = 0; decision < 400 && game.gameRunning; ++decision) {
        ASSERT_EQ(game.currentSeat, seatSouth);
        if (tableMemory.round != roundSeen && !worst.empty() && worst.back().round == roundSeen - firstRound + 1) {
            // A round is over: R reviews it, and moves nothing.
            lines.clear();
            tellTableNews(keepLine);
            const GameState before = game;
            harness.key('R');
            tellTableNews(nullptr);
            EXPECT_EQ(std::memcmp(&before, &game, sizeof game), 0) << "the review changed the game";
            ASSERT_EQ(lines.size(), 1u);
            const Weighed& w = worst.back();
            const std::string opening = "Review of round " + std::to_string(w.round) + ": ";
            const std::string yours = chanceInWords(w.madeLosses, w.madePlayOuts);
            const std::string coachs = chanceInWords(w.coachLosses, w.coachPlayOuts);
            const std::string expected =
                w.cost() < 30
                    ? opening + "every move you made was about as good as the coach's."
                    : opening + "you " + w.made + "; the coach " + w.coach + ". You lose a life " +
                          (yours == coachs ? yours + " either way, a little more often yours."
                                           : yours + " your way, " + coachs + " the coach's.");
            EXPECT_EQ(lines[0], expected);
            ++reviewed;
        }
        roundSeen = tableMemory.round;
        // Every third decision a poor one: Pass where it may, else Stop; else the coach's.
        const SeatView view = humanView();
        const ExpertAdvice advice = humanAdvisedMove();
        PlannedMove planned = advice.best.planned;
        if (decision % 3 == 1)
            planned = {isControlShown(ids::controlPass) ? Move::pass : Move::stop, 0, 0};
        const ExpertOption* made = nullptr;
        for (int index = 0; index < advice.optionCount; ++index) {
            const PlannedMove& option = advice.options[index].planned;
            if (option.move == planned.move &&
                (planned.move != Move::exchangeOne ||
                 (option.handCard == planned.handCard && option.tableCard == planned.tableCard)))
                made = &advice.options[index];
        }
        ASSERT_NE(made, nullptr);
        const Weighed weighed{roundSeen - firstRound + 1, movedWords(planned, view, true),
                              movedWords(advice.best.planned, view, false), made->losses, advice.best.losses,
                              made->playOuts, advice.best.playOuts};
        if (worst.empty() || worst.back().round != weighed.round)
            worst.push_back(weighed);
        else if (weighed.cost() > worst.back().cost())
            worst.back() = weighed;
        switch (planned.move) {
        case Move::exchangeOne:
            harness.tapControl(ids::controlSouth1 + planned.handCard);
            harness.tapControl(ids::controlTable1 + planned.tableCard);
            break;
        case Move::exchangeAll:
            for (int position = 0; position < cardsPerHand; ++position)
                harness.tapControl(ids::controlTable1 + position);
            break;
        default:
            harness.tapControl(planned.move == Move::stop ? ids::controlStop : ids::controlPass);
        }
    }
    ASSERT_FALSE(game.gameRunning);
    EXPECT_GE(reviewed, 3) << "too few rounds reviewed";
    // After the game: the round whose costliest decision cost most.
    const Weighed* most = &worst.front();
    for (const Weighed& w : worst) {
        if (w.cost() > most->cost())
            most = &w;
    }
    lines.clear();
    tellTableNews(keepLine);
    harness.key('R');
    tellTableNews(nullptr);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("Review of the game: it mattered most in round " + std::to_string(most->round) + ": you " +
                                 most->made + "; the coach " + most->coach + ".",
                             0),
              0u)
        << lines[0];
    watchHumanMoves(nullptr);
}
