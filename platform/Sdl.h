// The SDL2 back end: the device screen in a real resizable desktop window.
#pragma once

namespace platform::sdl {

// Opens the window; false (with a message on standard error) when no display
// can be opened. Every pause unit lasts paceMilliseconds of real time.
bool install(int paceMilliseconds);

}  // namespace platform::sdl
