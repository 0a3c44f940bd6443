// The review: after a round, the human's costliest decision of it, what the
// coach would have done and the chance of losing a life each way; after a
// game, the round where a decision mattered most. Each decision is weighed
// as it is made, from the human's own view at that moment, by the same
// search the coach runs, so it works for a game played without a hint. It
// moves nothing.
#pragma once

#include "ai/Expert.h"
#include "platform/Platform.h"

#include <string>

constexpr platform::Param reviewKey = 'R';

// One decision of the human's: the move made and the coach's, from the same play-outs.
struct ReviewedDecision {
    int round = 0;  // of the game, from 1
    SeatView view{};
    ExpertOption made{};
    ExpertOption coach{};
    // How much more often the move made lost a life than the coach's, in thousandths.
    [[nodiscard]] int cost() const;
};

// Whether the move made cost more than the search can tell apart from the coach's.
[[nodiscard]] bool costsNoticeably(const ReviewedDecision& decision);

// From now on every move of the human's is weighed as it is made.
void keepReview();
// New: the game's decisions start afresh.
void reviewNewGame();
// The latest round's costliest decision, or while no game runs after one, the
// game's; none when no decision was weighed.
[[nodiscard]] const ReviewedDecision* decisionToReview(bool& ofTheGame);
// "Review of round 3: you passed at 21; the coach would have ..."
[[nodiscard]] std::string reviewLine(const ReviewedDecision* decision, bool ofTheGame);
// R: tells the review in What happened.
void giveReview();
