#include "app/Hint.h"

#include "ai/Coach.h"
#include "app/KeyboardFocus.h"
#include "app/TableAccount.h"
#include "model/CardNames.h"
#include "model/HandEvaluation.h"
#include "resources/BoardIds.h"
#include "ui/Controls.h"

#include <cstdlib>

namespace {

// The table card the last hint would have the human take after its hand card.
int hintedTableCard = 0;
int hintedHandCard = 0;

std::string percentOf(int losses, int playOuts)
{
    const int percent = playOuts > 0 ? (losses * 100 + playOuts / 2) / playOuts : 0;
    return std::to_string(percent) + " %";
}

// A chance as a player says it: "about 1 in 4 deals", "about 2 in 3 deals".
std::string chanceInWords(int losses, int playOuts)
{
    if (playOuts <= 0 || losses * 100 < playOuts * 3)
        return "almost never";
    if (losses * 100 > playOuts * 95)
        return "almost every deal";
    struct Share {
        int in;
        int of;
    };
    constexpr Share shares[] = {{1, 20}, {1, 10}, {1, 8}, {1, 6}, {1, 5}, {1, 4}, {1, 3}, {2, 5}, {1, 2},
                                {3, 5}, {2, 3}, {3, 4}, {4, 5}, {9, 10}};
    // The share nearest the chance: |losses/playOuts - in/of| compared across
    // shares in whole numbers, each distance times the other's `of`.
    const Share* nearest = &shares[0];
    const auto offBy = [&](const Share& s) { return std::abs(losses * s.of - s.in * playOuts); };
    for (const Share& share : shares) {
        if (offBy(share) * nearest->of < offBy(*nearest) * share.of)
            nearest = &share;
    }
    return "about " + std::to_string(nearest->in) + " in " + std::to_string(nearest->of) + " deals";
}

// "your seven of clubs": a card of the player's own hand.
std::string ownCardName(const CardRecord& card)
{
    const std::string name = cardName(card);
    return name.rfind("the ", 0) == 0 ? "your " + name.substr(4) : name;
}

// The best move of another kind, as the hint compares with it.
const char* otherMoveWords(Move move)
{
    switch (move) {
    case Move::stop:
        return "stopping";
    case Move::pass:
        return "passing";
    default:
        return "exchanging";
    }
}

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

std::string hintLine(const ExpertAdvice& advice, const CardRecord (&hand)[cardsPerHand],
                     const CardRecord (&table)[cardsPerHand])
{
    const PlannedMove& planned = advice.best.planned;
    std::string line = "Hint: ";
    if (planned.move == Move::exchangeOne)
        line += "take " + cardName(table[planned.tableCard]) + " for " + ownCardName(hand[planned.handCard]);
    else if (planned.move == Move::exchangeAll)
        line += "take the whole table";
    else
        line += planned.move == Move::stop ? "Stop" : "Pass";
    line += ": " + handValueInWords(advice.best.valueAfter);
    // 31 and three aces end the round at once: there is nothing to weigh.
    if (advice.best.valueAfter == valueThirtyOne || advice.best.valueAfter == valueThreeAces)
        return line + ".";
    if (advice.inCircles)
        return line + "; the same cards keep coming back to the table, and only a Stop ends the round (it loses a "
                      "life " + chanceInWords(advice.best.losses, advice.playOuts) + ").";
    line += ", lowest in " + percentOf(advice.best.losses, advice.playOuts) + " of play-outs";
    if (advice.runnerUp.planned.move != Move::none)
        line += std::string("; ") + otherMoveWords(advice.runnerUp.planned.move) + " gives " +
                percentOf(advice.runnerUp.losses, advice.playOuts);
    return line + ".";
}

std::string keepHintLine(const KeepAdvice& advice)
{
    const std::string keeping = percentOf(advice.lossesKeeping, advice.playOuts);
    const std::string exchanging = percentOf(advice.lossesExchanging, advice.playOuts);
    if (advice.keep)
        return "Hint: keep: " + handValueInWords(advice.keptValue) + ", lowest in " + keeping +
               " of play-outs; exchanging gives " + exchanging + ".";
    return "Hint: take the next three: lowest in " + exchanging + " of play-outs; keeping " +
           handValueInWords(advice.keptValue) + " gives " + keeping + ".";
}

void giveHint(platform::Handle boardWindow)
{
    if (!waitsForHumanMove())
        return;
    const ExpertAdvice advice = humanAdvisedMove();
    const PlannedMove& planned = advice.best.planned;
    hintedHandCard = planned.move == Move::exchangeOne ? ids::controlSouth1 + planned.handCard : 0;
    hintedTableCard = planned.move == Move::exchangeOne ? ids::controlTable1 + planned.tableCard : 0;
    tellHint(hintLine(advice, game.hands[seatSouth], game.TableCards));
    focusOnControl(controlToTap(planned), boardWindow);
}

int giveKeepHint()
{
    const KeepAdvice advice = humanAdvisedToKeep();
    tellHint(keepHintLine(advice));
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
