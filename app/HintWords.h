// The coach's words: one line, the move first, then its reason in cards as a
// player would give it (what the move builds and which card is still to come,
// what it keeps from a seat that collects it, what a Stop risks now) and the
// chance of losing a life in plain words. Only cards the player has seen are
// named, from the player's own view.
#pragma once

#include "ai/Expert.h"
#include "ai/SeatView.h"

#include <string>

// "Hint: take the ace of hearts for your seven of clubs: 31." and the like.
[[nodiscard]] std::string hintLine(const ExpertAdvice& advice, const SeatView& view);
// "Hint: keep: ..." or "Hint: take the next three: ..."
[[nodiscard]] std::string keepHintLine(const KeepAdvice& advice, const SeatView& view);
// "almost never", "about 1 in 4 deals", "about 2 in 3 deals", "almost every deal".
[[nodiscard]] std::string chanceInWords(int losses, int playOuts);
