// Playing with the keyboard: the board window's keys, each turned into the
// tap or button press a pointer would give. F2 (New) is an accelerator.
#pragma once

#include "platform/Platform.h"

// The F1 box, one box a page.
constexpr int howToPlayPageCount = 4;
extern const char* const HowToPlayPages[howToPlayPageCount];
extern const char* const HowToPlayCaptions[howToPlayPageCount];

// A key that reached the board window (no box, dialog or pop-up was open to
// take it). Returns 1 when the key means something on the board, 0 otherwise.
platform::Param handleBoardKey(platform::Handle boardWindow, platform::Param key, platform::Param modifiers);
