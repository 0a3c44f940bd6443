#include "model/CardNames.h"

namespace {

constexpr int lowestRank = 7;
constexpr const char* rankWords[] = {"seven", "eight", "nine", "ten", "jack", "queen", "king", "ace"};
constexpr const char* suitWords[] = {"clubs", "diamonds", "hearts", "spades"};
constexpr char rankLetters[] = "789TJQKA";
constexpr char suitLetters[] = "cdhs";

}  // namespace

bool isDeckCard(const CardRecord& card)
{
    return card.rank >= lowestRank && card.rank <= lowestRank + 7 && card.suit >= 1 && card.suit <= 4;
}

std::string cardCode(const CardRecord& card)
{
    if (!isDeckCard(card))
        return "--";
    return {rankLetters[card.rank - lowestRank], suitLetters[card.suit - 1]};
}

std::string cardName(const CardRecord& card)
{
    if (!isDeckCard(card))
        return "a hidden card";
    std::string name = "the ";
    name += rankWord(card.rank);
    name += " of ";
    name += suitWord(card.suit);
    return name;
}

const char* rankWord(int rank)
{
    return rank >= lowestRank && rank <= lowestRank + 7 ? rankWords[rank - lowestRank] : "";
}

const char* suitWord(int suit)
{
    return suit >= 1 && suit <= 4 ? suitWords[suit - 1] : "";
}
