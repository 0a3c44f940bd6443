// "New": the whole game's start, from the dealer draw to the human's first
// turn. It stands above the other sequences and calls them in turn: the
// deal, then the turn loop (which settles rounds and deals the next).
#pragma once

#include "platform/Platform.h"

void newGameSequence(platform::Handle boardWindow);
