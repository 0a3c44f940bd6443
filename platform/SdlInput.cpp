// The input translator (see SdlInput.h).
#include "platform/SdlInput.h"

#include "platform/Backend.h"
#include "platform/FramePainter.h"
#include "platform/X11Watch.h"

namespace platform::sdl {

Param keyCodeOf(SDL_Keycode symbol)
{
    switch (symbol) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return keyEnter;
    case SDLK_ESCAPE:
        return keyEscape;
    case SDLK_UP:
        return keyArrowUp;
    case SDLK_DOWN:
        return keyArrowDown;
    case SDLK_LEFT:
        return keyArrowLeft;
    case SDLK_RIGHT:
        return keyArrowRight;
    case SDLK_TAB:
        return keyTab;
    case SDLK_SPACE:
        return keySpace;
    case SDLK_F1:
        return keyF1;
    case SDLK_F2:
        return keyF2;
    case SDLK_F3:
        return keyF3;
    case SDLK_PAGEUP:
        return keyPageUp;
    case SDLK_PAGEDOWN:
        return keyPageDown;
    case SDLK_HOME:
        return keyHome;
    case SDLK_END:
        return keyEnd;
    default:
        return symbol >= SDLK_a && symbol <= SDLK_z ? 'A' + (symbol - SDLK_a) : 0;
    }
}

void InputTranslator::pressed(int windowX, int windowY, const Fit& fit)
{
    const int x = windowX - fit.left;
    const int y = windowY - fit.top;
    if (x < 0 || y < 0 || x >= screenWidth * fit.factor || y >= screenHeight * fit.factor)
        return;
    backend::queueTap(x / fit.factor, y / fit.factor);
}

// Keys already down when the window gets the focus are reported as fresh
// presses; only a key pressed while the window has the focus counts.
void InputTranslator::focusGained()
{
    int count = 0;
    const Uint8* down = SDL_GetKeyboardState(&count);
    heldAtFocus.assign(down, down + count);
    addKeysDownOnTheServer(heldAtFocus);
}

bool InputTranslator::wasHeldAtFocus(SDL_Scancode code) const
{
    return code >= 0 && static_cast<std::size_t>(code) < heldAtFocus.size() && heldAtFocus[code];
}

void InputTranslator::keyPressed(const SDL_KeyboardEvent& key)
{
    if (key.repeat || wasHeldAtFocus(key.keysym.scancode))
        return;
    const Param code = keyCodeOf(key.keysym.sym);
    Param modifiers = 0;
    if (key.keysym.mod & KMOD_CTRL)
        modifiers |= modifierControl;
    if (key.keysym.mod & KMOD_SHIFT)
        modifiers |= modifierShift;
    if (code != 0)
        backend::queueKey(code, modifiers);
}

void InputTranslator::keyReleased(const SDL_KeyboardEvent& key)
{
    if (wasHeldAtFocus(key.keysym.scancode))
        heldAtFocus[key.keysym.scancode] = 0;
}

void InputTranslator::note(const SDL_Event& event)
{
    noteKeyRelease(event, heldAtFocus);
}

}  // namespace platform::sdl
