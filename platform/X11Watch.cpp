// The desktop window's watch beside SDL's events (see X11Watch.h).
#include "platform/X11Watch.h"

#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <dlfcn.h>
#include <unistd.h>
#define ZARTA_X11 1
#endif

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace platform::sdl {

namespace {

// The rendezvous thread raises the window through SDL's queue; the lock keeps
// it from pushing while SDL shuts down. Never destroyed, since that thread
// outlives every static destructor.
std::mutex& raiseLock()
{
    static auto* lock = new std::mutex;
    return *lock;
}
Uint32 raiseType = 0;      // under raiseLock; 0 before start-up and from shutdown on
bool windowShown = false;  // under raiseLock: shown and not gone

}  // namespace

void startRaising(Uint32 eventType)
{
    std::lock_guard<std::mutex> guard(raiseLock());
    raiseType = eventType;
}

void stopRaising()
{
    std::lock_guard<std::mutex> guard(raiseLock());
    raiseType = 0;
    windowShown = false;
}

Uint32 raiseEventType()
{
    std::lock_guard<std::mutex> guard(raiseLock());
    return raiseType;
}

bool pushRaiseEvent()
{
    std::lock_guard<std::mutex> guard(raiseLock());
    if (raiseType == 0 || !windowShown)
        return false;
    SDL_Event event{};
    event.type = raiseType;
    return SDL_PushEvent(&event) == 1;
}

void setWindowShown(bool shown)
{
    std::lock_guard<std::mutex> guard(raiseLock());
    windowShown = shown;
}

// Another program (a window manager going away, xkill, xdotool) may destroy

std::atomic<bool> windowGone{false};
std::atomic<bool> windowEverShown{false};

#ifdef ZARTA_X11
namespace {

unsigned long ourXWindow = 0;  // written before the window is shown
Display* ourXDisplay = nullptr;
XErrorHandler previousXErrorHandler = nullptr;
using QueryKeymap = int (*)(Display*, char[32]);
using KeycodeToKeysym = KeySym (*)(Display*, KeyCode, int, int);
QueryKeymap queryKeymap = nullptr;
KeycodeToKeysym keycodeToKeysym = nullptr;

// Requests that SDL had in flight for the window when it was destroyed fail;
// they only confirm that it is gone. Every other error goes to the handler
// that was there before (Xlib's own, which reports and ends the process).
int noteWindowGone(Display* display, XErrorEvent* error)
{
    if (ourXWindow != 0 && error->resourceid == ourXWindow &&
        (error->error_code == BadWindow || error->error_code == BadDrawable)) {
        windowGone = true;
        return 0;
    }
    return previousXErrorHandler ? previousXErrorHandler(display, error) : 0;
}

// The server ended the connection (a tool killed this client, or the server
// went away), and the window, if there was one, went with it. Xlib must not
// get control back, and nothing of SDL can be tidied without the connection.
// Once the window has shown, this is the end of the game as a closed window
// would be; before that, the game could not start.
int endWithTheConnection(Display*)
{
    static constexpr char said[] = "zarta: the connection to the display was lost\n";
    std::fflush(nullptr);
    (void)!write(STDERR_FILENO, said, sizeof said - 1);
    std::_Exit(windowEverShown ? 0 : 1);
}

}  // namespace

// Both handlers are installed before SDL starts. SDL's first request may
// find the server gone, and that must end with the program's own line, not
// Xlib's report. SDL puts back the error handler it found when it quits, so
// it puts back this one: a wake-up SDL sends its window as that goes away
// can fail after the window is destroyed, and that failure must not end a
// clean exit with Xlib's report. Xlib stays loaded from here on, as SDL
// would keep it loaded anyway.
void catchErrorsAboutOurWindow()
{
    if (SDL_getenv("WAYLAND_DISPLAY") && !SDL_getenv("DISPLAY"))
        return;
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY);
    if (!xlib)
        return;
    using SetHandler = XErrorHandler (*)(XErrorHandler);
    auto setHandler = reinterpret_cast<SetHandler>(dlsym(xlib, "XSetErrorHandler"));
    if (setHandler)
        previousXErrorHandler = setHandler(noteWindowGone);
    using SetIOHandler = XIOErrorHandler (*)(XIOErrorHandler);
    auto setIOHandler = reinterpret_cast<SetIOHandler>(dlsym(xlib, "XSetIOErrorHandler"));
    if (setIOHandler)
        setIOHandler(endWithTheConnection);
}

void watchX11Window(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    ourXWindow = info.info.x11.window;
    ourXDisplay = info.info.x11.display;
    // SDL loads Xlib itself; take the functions from the copy it loaded.
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!xlib)
        return;
    queryKeymap = reinterpret_cast<QueryKeymap>(dlsym(xlib, "XQueryKeymap"));
    keycodeToKeysym = reinterpret_cast<KeycodeToKeysym>(dlsym(xlib, "XkbKeycodeToKeysym"));
    dlclose(xlib);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

bool isOurWindowDestroyed(const SDL_Event& event)
{
    if (event.type != SDL_SYSWMEVENT || !event.syswm.msg || event.syswm.msg->subsystem != SDL_SYSWM_X11)
        return false;
    const XEvent& x = event.syswm.msg->msg.x11.event;
    return x.type == DestroyNotify && x.xdestroywindow.window == ourXWindow;
}

namespace {

// SDL learns only the modifiers among the keys already down when the focus
// comes; a letter held meanwhile then repeats as if freshly pressed. The
// server knows them all. Keys are named by their unshifted symbol, which for
// every key the program reads is its SDL key code or in this table.
void setHeld(std::vector<Uint8>& held, int keycode, Uint8 down)
{
    static constexpr struct {
        KeySym symbol;
        SDL_Keycode key;
    } named[] = {
        {0xff0d, SDLK_RETURN}, {0xff8d, SDLK_KP_ENTER}, {0xff1b, SDLK_ESCAPE}, {0xff09, SDLK_TAB},
        {0xff51, SDLK_LEFT},   {0xff52, SDLK_UP},       {0xff53, SDLK_RIGHT},  {0xff54, SDLK_DOWN},
        {0xffbe, SDLK_F1},     {0xffbf, SDLK_F2},       {0xffe3, SDLK_LCTRL},  {0xffe4, SDLK_RCTRL},
    };
    KeySym symbol = keycodeToKeysym(ourXDisplay, static_cast<KeyCode>(keycode), 0, 0);
    SDL_Keycode key = symbol > 0 && symbol < 0x100 ? static_cast<SDL_Keycode>(symbol) : SDLK_UNKNOWN;
    for (const auto& entry : named) {
        if (entry.symbol == symbol)
            key = entry.key;
    }
    SDL_Scancode scancode = key == SDLK_UNKNOWN ? SDL_SCANCODE_UNKNOWN : SDL_GetScancodeFromKey(key);
    if (scancode != SDL_SCANCODE_UNKNOWN && static_cast<std::size_t>(scancode) < held.size())
        held[scancode] = down;
}

}  // namespace

void addKeysDownOnTheServer(std::vector<Uint8>& held)
{
    if (!ourXDisplay || !queryKeymap || !keycodeToKeysym)
        return;
    char keys[32] = {};
    queryKeymap(ourXDisplay, keys);
    for (int code = 8; code < 256; ++code) {
        if (keys[code / 8] & (1 << (code % 8)))
            setHeld(held, code, 1);
    }
}

// SDL reports no release of a key it never saw pressed; the server does.
void noteKeyRelease(const SDL_Event& event, std::vector<Uint8>& held)
{
    if (event.type != SDL_SYSWMEVENT || !event.syswm.msg || event.syswm.msg->subsystem != SDL_SYSWM_X11 ||
        !keycodeToKeysym)
        return;
    const XEvent& x = event.syswm.msg->msg.x11.event;
    if (x.type == KeyRelease)
        setHeld(held, static_cast<int>(x.xkey.keycode), 0);
}
#else
void catchErrorsAboutOurWindow() {}
void watchX11Window(SDL_Window*) {}
bool isOurWindowDestroyed(const SDL_Event&)
{
    return false;
}
void addKeysDownOnTheServer(std::vector<Uint8>&) {}
void noteKeyRelease(const SDL_Event&, std::vector<Uint8>&) {}
#endif

// One X display under the names it goes by: ":1", ":1.0" and "unix:1" are
// the same server (a screen number does not make another one).
std::string sameXDisplay(const char* name)
{
    std::string display = name ? name : "";
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos)
        return display;
    std::string host = display.substr(0, colon);
    std::string number = display.substr(colon + 1);
    number = number.substr(0, number.find('.'));
    if (host == "unix")
        host.clear();
    return host + ":" + number;
}

// The display SDL opened, by the name its clients reach it under.
std::string displayName()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver)
        return {};
    if (SDL_strcmp(driver, "x11") == 0)
        return "x11 " + sameXDisplay(SDL_getenv("DISPLAY"));
    if (SDL_strcmp(driver, "wayland") == 0) {
        const char* socket = SDL_getenv("WAYLAND_DISPLAY");
        return std::string("wayland ") + (socket && *socket ? socket : "wayland-0");
    }
    return driver;
}

}  // namespace platform::sdl
