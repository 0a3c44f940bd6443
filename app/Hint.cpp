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
bool hintedWholeTable = false;

bool waitsForHumanMove()
{
    return game.gameRunning && !game.dealerChoicePending && game.currentSeat == seatSouth;
}

// The whole table: the first table card not yet selected takes the focus and
// the others are framed with it, so all the cards to tap show at once.
void frameTheRestOfTheTable(platform::Handle boardWindow)
{
    int left[cardsPerHand] = {};
    int count = 0;
    for (int position = 0; position < cardsPerHand; ++position) {
        if (!game.tableSelected[position])
            left[count++] = ids::controlTable1 + position;
    }
    if (count == 0 || !focusOnControl(left[0], boardWindow))
        return;
    frameAlso({left[1], left[2]}, boardWindow);
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
    hintedWholeTable = planned.move == Move::exchangeAll;
    tellHint(hintLine(advice, humanView()));
    if (hintedWholeTable)
        frameTheRestOfTheTable(boardWindow);
    else
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
    // A table card of the hinted whole table tapped: the frames go on to the rest.
    if (hintedWholeTable) {
        hintedWholeTable = tappedControl >= ids::controlTable1 && tappedControl <= ids::controlTable3 &&
                           waitsForHumanMove() && game.tableSelected[tappedControl - ids::controlTable1];
        if (hintedWholeTable)
            frameTheRestOfTheTable(boardWindow);
        return;
    }
    const int hand = hintedHandCard;
    hintedHandCard = 0;
    if (hand == 0 || tappedControl != hand || !waitsForHumanMove())
        return;
    if (game.handSelected[hand - ids::controlSouth1])
        focusOnControl(hintedTableCard, boardWindow);
}
