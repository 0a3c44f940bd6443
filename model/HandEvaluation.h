// The value of three cards: a seat's hand or the open table.
#pragma once

#include "model/CardRecord.h"
#include "model/GameState.h"

// The coded result of valuing a hand for an exchange.
enum class Evaluation : std::int32_t { threeAces = 20010, thirtyOne = 20011, ordinary = 20013 };

constexpr HandValue valueThreeOfARank = 30.5;
constexpr HandValue valueThreeAces = 91.5;
constexpr HandValue valueThirtyOne = 31.0;

// The rule itself; `threeAces` (may be null) tells whether the rank rule found three aces.
[[nodiscard]] HandValue valueOfThree(const CardRecord& c0, const CardRecord& c1, const CardRecord& c2,
                                     bool* threeAces = nullptr);

// These read and record the game unless handed another record (a play-out's copy).
// Recording evaluation: stores handValue (seats 1..4) and raises threeAcesFlag and roundClosing.
HandValue evaluateHand(Seat seat, GameState& state = game);
// Plain evaluation: changes nothing.
[[nodiscard]] HandValue handValueOf(Seat seat, const GameState& state = game);
// Coded evaluation for the exchange: stores handValue, raises threeAcesFlag only.
Evaluation evaluateHandCode(Seat seat, GameState& state = game);
