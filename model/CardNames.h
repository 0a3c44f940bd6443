// The one vocabulary for a card: its code, as the simulator's trace and the
// page's events write it ("Kh" for the king of hearts), and its name, as the
// table's account says it ("the king of hearts").
#pragma once

#include "model/CardRecord.h"

#include <string>

// A card of the deck: rank 7..14 and suit 1..4; a back or an empty place is not.
[[nodiscard]] bool isDeckCard(const CardRecord& card);
// "Kh"; "--" for anything that is no card of the deck.
[[nodiscard]] std::string cardCode(const CardRecord& card);
// "the king of hearts"; "a hidden card" for anything that is no card of the deck.
[[nodiscard]] std::string cardName(const CardRecord& card);
// "king", "hearts": the words of a deck card's rank and suit.
[[nodiscard]] const char* rankWord(int rank);
[[nodiscard]] const char* suitWord(int suit);
