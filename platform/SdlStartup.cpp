// The SDL2 back end's start-up: SDL and a hidden, resizable window sized
// for the screen (and the side text, if any) at the largest whole factor
// the desktop holds, refused where no display shows it, then handed to the
// back end (SdlBackend.cpp) that runs it.
#include "platform/Sdl.h"

#include "platform/Backend.h"
#include "platform/Platform.h"
#include "platform/ScreenLayout.h"
#include "platform/SdlBackend.h"
#include "platform/SidePanel.h"
#include "platform/X11Watch.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <algorithm>
#include <cstdio>

namespace platform::sdl {

namespace {

bool cannotOpenDisplay()
{
    std::fprintf(stderr, "zarta: cannot open a display: %s\n", SDL_GetError());
    return false;
}

}  // namespace

bool install(int paceMilliseconds)
{
    SDL_SetMainReady();
    // Without SDL's handlers, an interrupt or terminate signal ends the program as usual.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    catchErrorsAboutOurWindow();
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return cannotOpenDisplay();
    // A game nobody can see must not run: it would hold the single-instance
    // rendezvous and keep every later start from showing a window. The
    // headless back end is the one for running without a display.
    const char* driver = SDL_GetCurrentVideoDriver();
    bool invisible = driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0);
    if (invisible) {
        if (SDL_getenv("SDL_VIDEODRIVER"))
            std::fprintf(stderr,
                         "zarta: the %s video driver shows no window; the game needs an X11 or Wayland display\n",
                         driver);
        else
            std::fprintf(stderr, "zarta: cannot open a display: no X11 or Wayland display found\n");
        SDL_Quit();
        return false;
    }

    SDL_Rect usable{0, 0, screenWidth, screenHeight};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0)
        usable = {0, 0, screenWidth, screenHeight};
    int factor = fitScreen(usable.w, usable.h).factor;
    int columns = screenWidth;
    // The side text fits beside the screen from the start, at a smaller factor if need be.
    if (showsSideText()) {
        columns += panelGap + panelColumns;
        factor = std::max(1, std::min(factor, usable.w / columns));
    }
    // Created hidden and shown with the first picture, so a second copy that
    // only hands over to the first never flashes a window.
    SDL_Window* window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, columns * factor,
                                          screenHeight * factor, SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
    if (!window) {
        cannotOpenDisplay();
        SDL_Quit();
        return false;
    }
    SDL_SetWindowMinimumSize(window, screenWidth, screenHeight);
    SDL_EventState(SDL_MOUSEMOTION, SDL_IGNORE);
    SDL_EventState(SDL_FINGERMOTION, SDL_IGNORE);
    SDL_EventState(SDL_TEXTINPUT, SDL_IGNORE);
    SDL_StopTextInput();
    watchX11Window(window);
    Uint32 type = SDL_RegisterEvents(1);
    startRaising(type == static_cast<Uint32>(-1) ? 0 : type);
    backend::install(windowBackend(window, paceMilliseconds));
    return true;
}

}  // namespace platform::sdl
