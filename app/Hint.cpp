#include "app/Hint.h"

#include "ai/Coach.h"
#include "app/KeyboardFocus.h"
#include "app/TableAccount.h"
#include "model/CardNames.h"
#include "model/HandEvaluation.h"
#include "resources/BoardIds.h"
#include "ui/Controls.h"

namespace {

// The table card the last hint would have the human take after its hand card.
int hintedTableCard = 0;
int hintedHandCard = 0;

bool waitsForHumanMove()
{
    return game.gameRunning && !game.dealerChoicePending && game.currentSeat == seatSouth;
}

int controlToTap(const PlannedMove& planned)
{
    switch (planned.move) {
    case Move::exchangeOne:
        if (game.handSelected[planned.handCard])
            return ids::controlTable1 + planned.tableCard;
        return ids::controlSouth1 + planned.handCard;
    case Move::exchangeAll:
        for (int position = 0; position < cardsPerHand; ++position) {
            if (!game.tableSelected[position])
                return ids::controlTable1 + position;
        }
        return ids::controlTable1;
    case Move::stop:
        return ids::controlStop;
    default:
        return isControlShown(ids::controlPass) ? ids::controlPass : ids::controlStop;
    }
}

}  // namespace

void giveHint(platform::Handle boardWindow)
{
    if (!waitsForHumanMove())
        return;
    const ExpertAdvice advice = humanAdvisedMove();
    const PlannedMove& planned = advice.best.planned;
    hintedHandCard = planned.move == Move::exchangeOne ? ids::controlSouth1 + planned.handCard : 0;
    hintedTableCard = planned.move == Move::exchangeOne ? ids::controlTable1 + planned.tableCard : 0;
    tellHint(hintLine(advice, humanView()));
    focusOnControl(controlToTap(planned), boardWindow);
}

int giveKeepHint()
{
    const KeepAdvice advice = humanAdvisedToKeep();
    tellHint(keepHintLine(advice, humanView()));
    return advice.keep ? platform::answerYes : platform::answerNo;
}

void setBoxHelpKey()
{
    platform::setBoxHelpKey(hintKey, giveKeepHint);
}

void followHint(int tappedControl, platform::Handle boardWindow)
{
    const int hand = hintedHandCard;
    hintedHandCard = 0;
    if (hand == 0 || tappedControl != hand || !waitsForHumanMove())
        return;
    if (game.handSelected[hand - ids::controlSouth1])
        focusOnControl(hintedTableCard, boardWindow);
}
