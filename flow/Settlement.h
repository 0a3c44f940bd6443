// The end of a round and of the game.
#pragma once

#include "platform/Platform.h"

#include <cstdint>

// What the comparison of the four hands found.
enum class RoundOutcome : std::int32_t { losersFound = 1, allHandsEqual = 4 };

// Marks roundWinners and roundLosers.
[[nodiscard]] RoundOutcome findRoundLosers();

// Whether the round's hands are scored, or it is simply dealt again.
enum class Scoring { redeal, score };
void settleRound(Scoring scoring, platform::Handle boardWindow);
