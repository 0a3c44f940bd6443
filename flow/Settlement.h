// The end of a round and of the game.
#pragma once

#include "platform/Platform.h"

constexpr int losersFound = 1;
constexpr int allHandsEqual = 4;

int findRoundLosers();
int settleRound(int scoring, platform::Handle boardWindow);
