// The application shell's process-wide state beside the game record and the
// control handles: the board window, its menu bar and the background surface.
#pragma once

#include "platform/Platform.h"

struct ShellState {
    platform::Handle boardWindow;
    platform::Handle menuBar;  // 0 when its creation failed
    const platform::Image* backgroundImage;
    platform::Handle backgroundSurface;
    int backgroundWidth;
    int backgroundHeight;
    platform::Handle boardSurface;
};

extern ShellState shell;
