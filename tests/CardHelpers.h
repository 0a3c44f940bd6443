// Cards by name for test set-ups: card(rank, suit) with rank 7..14 and suit 1..4.
#pragma once

#include "model/CardCatalogue.h"
#include "model/GameState.h"

#include <algorithm>
#include <iterator>

namespace testing_support {

constexpr int jack = 11;
constexpr int queen = 12;
constexpr int king = 13;
constexpr int ace = 14;
constexpr int clubs = 1;
constexpr int diamonds = 2;
constexpr int hearts = 3;
constexpr int spades = 4;

inline CardRecord card(int rank, int suit)
{
    // Catalogue order within a suit: ace, 7, 8, 9, 10, jack, queen, king.
    const int index = rank == ace ? 0 : rank - 6;
    return CardCatalogue[(suit - 1) * 8 + index];
}

inline void setHand(Seat seat, CardRecord a, CardRecord b, CardRecord c)
{
    game.hands[seat][0] = a;
    game.hands[seat][1] = b;
    game.hands[seat][2] = c;
}

inline void setTable(CardRecord a, CardRecord b, CardRecord c)
{
    game.TableCards[0] = a;
    game.TableCards[1] = b;
    game.TableCards[2] = c;
}

// The deck in catalogue order, so Deck[i] is catalogue row i.
inline void setDeckInCatalogueOrder()
{
    std::copy(std::begin(CardCatalogue), std::end(CardCatalogue), game.Deck);
}

// Hands and table no single exchange can turn into 31 or three aces.
inline void setQuietCards()
{
    setHand(seatSouth, card(7, clubs), card(8, diamonds), card(9, hearts));
    setHand(seatWest, card(10, clubs), card(jack, diamonds), card(queen, spades));
    setHand(seatNorth, card(7, spades), card(8, hearts), card(10, diamonds));
    setHand(seatEast, card(8, spades), card(9, clubs), card(jack, hearts));
    setTable(card(7, hearts), card(8, clubs), card(9, spades));
    for (Seat seat = 1; seat <= 4; ++seat) {
        game.finishedFlags[seat] = 0;
        game.passedFlags[seat] = 0;
    }
    game.firstTurnOfRound = 0;
    game.roundClosing = 0;
    game.stopCalled = 0;
    game.threeAcesFlag = 0;
}

}  // namespace testing_support
