// What the SDL2 back end (SdlBackend.cpp) offers its start-up
// (SdlStartup.cpp): the back end for the window just opened, and whether
// that window must be wide enough for text beside the screen.
#pragma once

#include "platform/Backend.h"

#include <SDL.h>

#include <memory>

namespace platform::sdl {

// The back end that shows the screen in `window` and runs its event loop;
// every pause unit lasts paceMilliseconds of real time.
std::unique_ptr<backend::Backend> windowBackend(SDL_Window* window, int paceMilliseconds);

// Whether anything is to show beside the screen, so the window opens wide enough.
bool showsSideText();

}  // namespace platform::sdl
