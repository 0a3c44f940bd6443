// The application shell's process-wide state beside the game record: the
// board window, its menu bar, the controls and the background surface.
#pragma once

#include "platform/Platform.h"

struct ShellState {
    platform::Handle boardWindow;
    platform::Handle menuBar;           // 0 when its creation failed
    platform::Handle cardControls[15];  // 11111..11125 in id order
    platform::Handle stopControl;
    platform::Handle passControl;
    platform::Handle secondHand[3];     // the dealer's second hand while it exists
    const platform::Image* backgroundImage;
    platform::Handle backgroundSurface;
    int backgroundWidth;
    int backgroundHeight;
    platform::Handle boardSurface;
};

extern ShellState shell;

// Handle of a card control by id 11111..11125, or of Stop / Pass; 0 otherwise.
platform::Handle controlHandle(int controlId);
