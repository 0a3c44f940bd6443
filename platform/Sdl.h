// The SDL2 back end: the device screen in a real resizable desktop window.
#pragma once

#include "platform/SideText.h"

namespace platform::sdl {

// Opens the window; false (with a message on standard error) when no display
// can be opened. Every pause unit lasts paceMilliseconds of real time.
bool install(int paceMilliseconds);

// What the window shows beside the device screen: asked for whenever a frame
// is shown and before waiting for input. Without a source there is none.
void setSideTextSource(SideText (*source)());

}  // namespace platform::sdl
