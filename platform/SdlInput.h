// The input translator: SDL's presses and keys as the core's taps and key
// codes. A press beside the picture is no tap; a key already down when the
// window gets the focus is no press.
#pragma once

#include "platform/FramePainter.h"
#include "platform/Platform.h"

#include <SDL.h>

#include <vector>

namespace platform::sdl {

// The key code of Platform.h for an SDL key, or 0 for a key the program does not read.
Param keyCodeOf(SDL_Keycode symbol);

class InputTranslator {
public:
    // A press at window coordinates, with the screen where `fit` places it.
    void pressed(int windowX, int windowY, const Fit& fit);
    void keyPressed(const SDL_KeyboardEvent& key);
    void keyReleased(const SDL_KeyboardEvent& key);
    // The window got the focus: the keys down now are not pressed in it.
    void focusGained();
    // An event SDL passed on from the window system (a key released there).
    void note(const SDL_Event& event);

private:
    bool wasHeldAtFocus(SDL_Scancode code) const;

    std::vector<Uint8> heldAtFocus;  // by scancode: down when the focus came, not released since
};

}  // namespace platform::sdl
