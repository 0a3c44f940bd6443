// The end of a round and of the game.
#pragma once

#include "model/TurnRules.h"
#include "platform/Platform.h"

#include <cstdint>

// Whether the round's hands are scored, or it is simply dealt again.
enum class Scoring { redeal, score };
void settleRound(Scoring scoring, platform::Handle boardWindow);
