// The account's events as JSON objects, one maker for each kind, beside the
// line that tells each (TableAccount.cpp). The page keeps them for its
// tests and starts a game's history at a dealer draw; the account's tests
// read them too. Cards are their codes: "Kh", "9s", "00" for none.
#pragma once

#include "model/GameState.h"

#include <string>

// Named apart from the account's words, so the page's build can tell these
// by a prefix of their own (web/CMakeLists.txt: none of them ever pauses).
namespace accountJson {

// {"kind":"dealerDraw","dealer":2,"drawn":[...]}: `drawn` holds a card a seat, south first.
std::string dealerDraw(Seat dealer, const CardRecord* drawn);
std::string dealerChoice(Seat dealer, bool kept);
// The dealer and the table as they lie now.
std::string dealt();
// `count` cards taken and left, one or a whole hand, and the table after it.
std::string exchange(Seat seat, const CardRecord* took, const CardRecord* left, int count);
// A pass or a stop: `kind` is "pass" or "stop".
std::string move(const char* kind, Seat seat);
std::string redeal();
// The seat's hand as it lies open at the round's end.
std::string shows(Seat seat);
// Every seat's value and lives, and the seats that lose a life, as they
// stand now; `gameOver` is "lost", "won" or null while the game goes on.
std::string roundEnd(const char* gameOver);

}  // namespace accountJson
