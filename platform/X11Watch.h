// What the desktop window learns beside SDL's events: that another program
// destroyed it or the display went away (X11 error handlers), the keys held
// down on the server when the focus comes, the display's name for the
// single-instance rule, and raise requests from the rendezvous thread.
#pragma once

#include <SDL.h>

#include <atomic>
#include <string>
#include <vector>

namespace platform::sdl {

// Raise requests become an SDL event of this type; 0 stops them (before
// start-up and from shutdown on). Thread-safe.
void startRaising(Uint32 eventType);
void stopRaising();
Uint32 raiseEventType();
// Pushes a raise event when the window is shown; the rendezvous thread's handler.
bool pushRaiseEvent();
void setWindowShown(bool shown);

// Another program (a window manager going away, xkill, xdotool) may destroy
// the window under us. The back end then ends the program at its next look.
extern std::atomic<bool> windowGone;
extern std::atomic<bool> windowEverShown;

// Before SDL starts: the handlers for errors about the window and for a lost connection.
void catchErrorsAboutOurWindow();
// Once the window exists: watches it for destruction and key releases.
void watchX11Window(SDL_Window* window);
bool isOurWindowDestroyed(const SDL_Event& event);
// Marks in `held` (by scancode) every key down on the server.
void addKeysDownOnTheServer(std::vector<Uint8>& held);
// Clears in `held` a key the server reports released.
void noteKeyRelease(const SDL_Event& event, std::vector<Uint8>& held);

// One X display under the names it goes by (":1", ":1.0" and "unix:1" are one).
std::string sameXDisplay(const char* name);
// The display SDL opened, by the name its clients reach it under.
std::string displayName();

}  // namespace platform::sdl
