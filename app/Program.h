// Program entry: start-up, then the message loop.
#pragma once

#include "platform/Platform.h"

// Returns 1 when the board is up, 0 when the program is to end.
[[nodiscard]] int startUp();
// Runs the message loop until the quit message (or, headless, until input runs out); returns the quit code.
int runMessageLoop();
// startUp then runMessageLoop; 0 at once when start-up fails.
int programEntry();
// Asked before Exit is carried out; false keeps the program running. None
// by default: the desktop's Exit ends the program at once.
void setExitConfirmation(bool (*confirm)());

platform::Param boardWindowProcedure(platform::Handle window, platform::Msg msg, platform::Param wparam,
                                     platform::Param lparam);
void paintBoard();
platform::Handle createMenuBar(platform::Handle boardWindow);
