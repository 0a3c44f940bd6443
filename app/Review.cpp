#include "app/Review.h"

#include "ai/TableLevel.h"
#include "ai/TableMemory.h"
#include "app/HintWords.h"
#include "app/TableAccount.h"
#include "model/CardNames.h"
#include "model/GameState.h"

#include <vector>

namespace {

struct ReviewState {
    std::int32_t roundAtNew = 0;              // rounds dealt before this game
    std::vector<ReviewedDecision> worstOfRound;  // one a round that had a decision, in order
};

ReviewState& review()
{
    static ReviewState state;
    return state;
}

bool sameMove(const PlannedMove& a, Move move, int handCard, int tableCard)
{
    if (a.move != move)
        return false;
    return move != Move::exchangeOne || (a.handCard == handCard && a.tableCard == tableCard);
}

void weighHumanMove(const GameState& before, const TableMemory& memory, Move move, int handCard, int tableCard)
{
    const SeatView view = viewOf(before, memory, seatSouth, tableLevel() == TableLevel::classic);
    const ExpertAdvice advice = adviseMove(view, SearchDepth::coach);
    ReviewedDecision decision;
    decision.round = memory.round - review().roundAtNew;
    decision.view = view;
    decision.coach = advice.best;
    bool found = false;
    for (int index = 0; index < advice.optionCount; ++index) {
        if (sameMove(advice.options[index].planned, move, handCard, tableCard)) {
            decision.made = advice.options[index];
            found = true;
        }
    }
    // A move the coach did not weigh (none the rules offer) tells nothing.
    if (!found)
        return;
    std::vector<ReviewedDecision>& rounds = review().worstOfRound;
    if (rounds.empty() || rounds.back().round != decision.round)
        rounds.push_back(decision);
    else if (decision.cost() > rounds.back().cost())
        rounds.back() = decision;
}

std::string ownCard(const CardRecord& card)
{
    const std::string name = cardName(card);
    return name.rfind("the ", 0) == 0 ? "your " + name.substr(4) : name;
}

// "passed", "would have taken the king of hearts for your seven of clubs":
// the player's move as done, the coach's as it would have been.
std::string doneWords(const PlannedMove& planned, const SeatView& view, bool made)
{
    switch (planned.move) {
    case Move::exchangeOne:
        return std::string(made ? "took " : "would have taken ") + cardName(view.table[planned.tableCard]) +
               " for " + ownCard(view.hand[planned.handCard]);
    case Move::exchangeAll:
        return made ? "took the whole table" : "would have taken the whole table";
    case Move::stop:
        return made ? "said Stop" : "would have said Stop";
    default:
        return made ? "passed" : "would have passed";
    }
}

}  // namespace

int ReviewedDecision::cost() const
{
    const auto share = [](const ExpertOption& option) {
        return option.playOuts > 0 ? option.losses * 1000 / option.playOuts : 0;
    };
    return share(made) - share(coach);
}

bool costsNoticeably(const ReviewedDecision& decision)
{
    // A few play-outs in a hundred are the search's own noise, not the move.
    return decision.cost() >= 30;
}

void keepReview()
{
    watchHumanMoves(weighHumanMove);
}

void reviewNewGame()
{
    review() = ReviewState{};
    review().roundAtNew = tableMemory.round;
}

const ReviewedDecision* decisionToReview(bool& ofTheGame)
{
    const std::vector<ReviewedDecision>& rounds = review().worstOfRound;
    ofTheGame = !game.gameRunning;
    if (rounds.empty())
        return nullptr;
    if (ofTheGame) {
        const ReviewedDecision* worst = &rounds.front();
        for (const ReviewedDecision& decision : rounds) {
            if (decision.cost() > worst->cost())
                worst = &decision;
        }
        return worst;
    }
    // The round in play is not over: the review is of the last one that is.
    const int current = tableMemory.round - review().roundAtNew;
    for (auto decision = rounds.rbegin(); decision != rounds.rend(); ++decision) {
        if (decision->round < current)
            return &*decision;
    }
    return nullptr;
}

std::string reviewLine(const ReviewedDecision* decision, bool ofTheGame)
{
    if (!decision)
        return ofTheGame ? "Review: no move of yours to look back on yet."
                         : "Review: no round of this game is over with a move of yours in it yet.";
    if (!costsNoticeably(*decision))
        return (ofTheGame ? std::string("Review of the game: ") : "Review of round " + std::to_string(decision->round) + ": ") +
               "every move you made was about as good as the coach's.";
    std::string line = ofTheGame ? "Review of the game: it mattered most in round " + std::to_string(decision->round) + ": "
                                 : "Review of round " + std::to_string(decision->round) + ": ";
    line += "you " + doneWords(decision->made.planned, decision->view, true) + "; the coach " +
            doneWords(decision->coach.planned, decision->view, false) + ". ";
    const std::string yours = chanceInWords(decision->made.losses, decision->made.playOuts);
    const std::string coachs = chanceInWords(decision->coach.losses, decision->coach.playOuts);
    if (yours == coachs)
        return line + "You lose a life " + yours + " either way, a little more often yours.";
    return line + "You lose a life " + yours + " your way, " + coachs + " the coach's.";
}

void giveReview()
{
    bool ofTheGame = false;
    const ReviewedDecision* decision = decisionToReview(ofTheGame);
    tellReview(reviewLine(decision, ofTheGame));
}
