#include "app/HintWords.h"

#include "ai/Playout.h"
#include "ai/TableMemory.h"
#include "model/CardNames.h"
#include "model/HandEvaluation.h"

#include <bit>
#include <cstdlib>
#include <vector>

namespace {

const char* const seatNames[] = {"", "you", "West", "North", "East"};
const char* const countWords[] = {"no", "one", "two", "three"};

std::string listOf(const std::vector<std::string>& items)
{
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += i + 1 == items.size() ? " and " : ", ";
        text += items[i];
    }
    return text;
}

// "your seven of clubs": a card of the player's own hand.
std::string ownCardName(const CardRecord& card)
{
    const std::string name = cardName(card);
    return name.rfind("the ", 0) == 0 ? "your " + name.substr(4) : name;
}

std::string pluralRank(int rank)
{
    return std::string(rankWord(rank)) + "s";
}

std::string valueText(HandValue value)
{
    const int whole = static_cast<int>(value);
    return std::to_string(whole) + (value != whole ? ".5" : "");
}

struct Cards {
    CardRecord card[cardsPerHand];
};

Cards handAfter(const PlannedMove& planned, const SeatView& view)
{
    Cards after{{view.hand[0], view.hand[1], view.hand[2]}};
    if (planned.move == Move::exchangeAll) {
        for (int position = 0; position < cardsPerHand; ++position)
            after.card[position] = view.table[position];
    } else if (planned.move == Move::exchangeOne) {
        after.card[planned.handCard] = view.table[planned.tableCard];
    }
    return after;
}

// The suit of the hand's best group and how many cards it holds: the group
// that gives the hand its value.
int bestSuit(const Cards& hand, int& count)
{
    int best = 0;
    int bestPoints = -1;
    count = 0;
    for (int suit = 1; suit <= 4; ++suit) {
        int points = 0;
        int cards = 0;
        for (const CardRecord& card : hand.card) {
            if (card.suit == suit) {
                points += card.points;
                ++cards;
            }
        }
        if (cards > 0 && points > bestPoints) {
            best = suit;
            bestPoints = points;
            count = cards;
        }
    }
    return best;
}

// Every card the player has seen where it is: its own, the table's, those
// other seats took from the table, and any it laid aside.
CardSet seenCards(const SeatView& view)
{
    CardSet seen = cardsOf(view.hand) | cardsOf(view.table) | view.outOfPlay;
    for (Seat seat = 1; seat <= seatCount; ++seat)
        seen |= cardsOf(view.heldAt[seat]);
    return seen;
}

// "two hearts worth 21; the ace of hearts is still unseen"
std::string whatItMakes(const Cards& hand, const SeatView& view)
{
    const HandValue value = valueOfThree(hand.card[0], hand.card[1], hand.card[2]);
    if (value == valueThreeAces)
        return "three aces";
    if (value == valueThreeOfARank)
        return "three " + pluralRank(hand.card[0].rank) + " worth 30.5";
    int count = 0;
    const int suit = bestSuit(hand, count);
    if (count == 1) {
        const CardRecord* high = &hand.card[0];
        for (const CardRecord& card : hand.card) {
            if (card.points > high->points || (card.points == high->points && card.rank > high->rank))
                high = &card;
        }
        return "your best card is " + cardName(*high) + ", " + valueText(value);
    }
    std::string words = std::string(countWords[count]) + " " + suitWord(suit) + " worth " + valueText(value);
    if (count == 2) {
        // The best card of the suit the player has not seen anywhere.
        const CardRecord* wanted = nullptr;
        const CardSet seen = seenCards(view);
        for (CardSet unseen = ~seen; unseen != 0; unseen &= unseen - 1) {
            const CardRecord& card = cardOfBit(std::countr_zero(unseen));
            if (card.suit == suit && (!wanted || card.points > wanted->points ||
                                      (card.points == wanted->points && card.rank > wanted->rank)))
                wanted = &card;
        }
        if (wanted)
            words += "; " + cardName(*wanted) + " is still unseen";
    }
    return words;
}

// "it keeps the queen of hearts from North, who took the queen of clubs and
// the queen of spades": a card the move keeps that a seat is seen to collect.
std::string whatItKeeps(const Cards& hand, const SeatView& view)
{
    for (const CardRecord& kept : hand.card) {
        if (!isDeckCard(kept))
            continue;
        for (Seat seat = seatWest; seat <= seatEast; ++seat) {
            if (seat == view.seat || view.lives[seat] == 0)
                continue;
            std::vector<std::string> alike;
            for (const CardRecord& taken : view.heldAt[seat]) {
                if (isDeckCard(taken) && (taken.suit == kept.suit || taken.rank == kept.rank))
                    alike.push_back(cardName(taken));
            }
            if (alike.size() >= 2)
                return "; it keeps " + cardName(kept) + " from " + seatNames[seat] + ", who took " + listOf(alike);
        }
    }
    return {};
}

// "West and North passed, East took the king of hearts": what a Stop stands against.
std::string whatAStopRisks(const SeatView& view)
{
    std::vector<std::string> passed;
    std::vector<std::string> took;
    for (Seat seat = seatWest; seat <= seatEast; ++seat) {
        if (view.lives[seat] == 0)
            continue;
        std::vector<std::string> cards;
        for (const CardRecord& taken : view.heldAt[seat]) {
            if (isDeckCard(taken))
                cards.push_back(cardName(taken));
        }
        if (!cards.empty())
            took.push_back(std::string(seatNames[seat]) + " took " + listOf(cards));
        else if (view.calls.passed[seat])
            passed.push_back(seatNames[seat]);
    }
    std::string words;
    if (!passed.empty())
        words = listOf(passed) + " passed";
    if (!took.empty())
        words += (words.empty() ? "" : ", ") + listOf(took);
    return words.empty() ? std::string() : "; " + words;
}

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

// "; you lose a life about 1 in 4 deals, passing about 1 in 3."; each
// chance out of the play-outs its move was weighed in.
std::string chances(int losses, int playOuts, const char* other = nullptr, int otherLosses = 0, int otherPlayOuts = 0)
{
    std::string words = "; you lose a life " + chanceInWords(losses, playOuts);
    if (other)
        words += std::string(", ") + other + " " + chanceInWords(otherLosses, otherPlayOuts);
    return words + ".";
}

}  // namespace

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

std::string hintLine(const ExpertAdvice& advice, const SeatView& view)
{
    const PlannedMove& planned = advice.best.planned;
    std::string line = "Hint: ";
    switch (planned.move) {
    case Move::exchangeOne:
        line += "take " + cardName(view.table[planned.tableCard]) + " for " + ownCardName(view.hand[planned.handCard]);
        break;
    case Move::exchangeAll:
        line += "take the whole table";
        break;
    case Move::stop:
        line += "Stop";
        break;
    default:
        line += "Pass";
        break;
    }
    const Cards after = handAfter(planned, view);
    // 31 and three aces end the round at once: there is nothing to weigh.
    if (advice.best.valueAfter == valueThirtyOne)
        return line + ": 31, and the round ends.";
    if (advice.best.valueAfter == valueThreeAces)
        return line + ": three aces, and the round ends.";
    line += ": " + whatItMakes(after, view);
    line += whatItKeeps(after, view);
    if (planned.move == Move::stop)
        line += whatAStopRisks(view);
    if (advice.inCircles)
        return line + "; the same cards keep coming back to the table, and only a Stop ends the round" +
               chances(advice.best.losses, advice.best.playOuts);
    const bool other = advice.runnerUp.planned.move != Move::none;
    return line + chances(advice.best.losses, advice.best.playOuts,
                          other ? otherMoveWords(advice.runnerUp.planned.move) : nullptr, advice.runnerUp.losses,
                          advice.runnerUp.playOuts);
}

std::string keepHintLine(const KeepAdvice& advice, const SeatView& view)
{
    const Cards dealt{{view.hand[0], view.hand[1], view.hand[2]}};
    if (advice.keep)
        return "Hint: keep: " + whatItMakes(dealt, view) +
               chances(advice.lossesKeeping, advice.playOuts, "taking the next three", advice.lossesExchanging,
                       advice.playOuts);
    return "Hint: take the next three: these make only " + valueText(advice.keptValue) +
           chances(advice.lossesExchanging, advice.playOuts, "keeping them", advice.lossesKeeping, advice.playOuts);
}
