// The SDL2 back end: the 240 x 320 device screen in a resizable desktop
// window, scaled by the largest whole factor that fits and drawn through the
// window surface (no renderer: it would pull in a GL stack for a few
// thousand pixels). Taps are mouse or touch presses mapped back to screen
// pixels.
#include "platform/Sdl.h"

#include "platform/Backend.h"
#include "platform/Core.h"
#include "platform/SingleInstance.h"
#include "resources/Resources.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>
#if __has_include(<X11/Xlib.h>)
#include <X11/Xlib.h>
#include <dlfcn.h>
#define ZARTA_X11_ERRORS 1
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

namespace platform::sdl {

namespace {

// Registered before the rendezvous thread can exist; read by it afterwards.
std::atomic<Uint32> raiseEventType{0};

void pushRaiseEvent()
{
    Uint32 type = raiseEventType.load();
    if (type == 0)
        return;
    SDL_Event event{};
    event.type = type;
    SDL_PushEvent(&event);
}

// Where the screen lies in a window of the given size: centred, whole factor.
struct Fit {
    int factor;
    int left;
    int top;
};

Fit fitScreen(int width, int height)
{
    int factor = std::max(1, std::min(width / screenWidth, height / screenHeight));
    return {factor, (width - screenWidth * factor) / 2, (height - screenHeight * factor) / 2};
}

class SdlBackend final : public backend::Backend {
public:
    SdlBackend(SDL_Window* window, int unitMilliseconds)
        : window(window), unitMilliseconds(unitMilliseconds), frame(screenWidth * screenHeight, 0)
    {
    }

    bool waitForInput() override
    {
        SDL_Event event;
        if (!SDL_WaitEvent(&event))
            return false;
        handle(event);
        while (SDL_PollEvent(&event))
            handle(event);
        return true;
    }

    void present(const std::uint32_t* pixels) override
    {
        std::copy(pixels, pixels + frame.size(), frame.begin());
        if (!shown) {
            SDL_ShowWindow(window);
            shown = true;
        }
        show();
    }

    void waitUnits(int units) override
    {
        // Input stays in SDL's queue for the message loop; only the window's
        // own upkeep (re-showing after an expose, raising) runs meanwhile.
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(units * unitMilliseconds);
        for (;;) {
            auto now = std::chrono::steady_clock::now();
            if (now >= deadline)
                break;
            std::this_thread::sleep_until(std::min(deadline, now + std::chrono::milliseconds(unitMilliseconds)));
            handleUpkeepOnly();
        }
    }

    int localSeconds() override
    {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return std::min(local.tm_sec, 59);
    }

    void exitProcess(int status) override
    {
        // The display server tidies up after a process that leaves; shutting
        // SDL down first would only give late X errors a chance to arrive.
        std::fflush(nullptr);
        std::_Exit(status);
    }

    std::string instanceDirectory() override { return instance::defaultDirectory(); }
    RaiseHandler raiseHandler() override { return pushRaiseEvent; }

    void showIdentity(const char* title, int iconId) override
    {
        SDL_SetWindowTitle(window, title);
        const resources::Bitmap* icon = resources::findIcon(iconId, 32);
        if (!icon)
            return;
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, icon->width, icon->height, 32, SDL_PIXELFORMAT_ARGB8888);
        if (!surface)
            return;
        SDL_LockSurface(surface);
        for (int y = 0; y < icon->height; ++y) {
            auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch);
            for (int x = 0; x < icon->width; ++x)
                row[x] = 0xFF000000u | resources::paletteColor(icon->pixels[y * icon->width + x]);
        }
        SDL_UnlockSurface(surface);
        SDL_SetWindowIcon(window, surface);
        SDL_FreeSurface(surface);
    }

private:
    void show()
    {
        SDL_Surface* target = SDL_GetWindowSurface(window);
        if (!target)
            return;
        Fit fit = fitScreen(target->w, target->h);
        if (!scaled || scaled->w != screenWidth * fit.factor) {
            SDL_FreeSurface(scaled);
            scaled = SDL_CreateRGBSurfaceWithFormat(0, screenWidth * fit.factor, screenHeight * fit.factor, 32,
                                                    SDL_PIXELFORMAT_ARGB8888);
            if (!scaled)
                return;
        }
        SDL_LockSurface(scaled);
        for (int y = 0; y < scaled->h; ++y) {
            auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(scaled->pixels) + y * scaled->pitch);
            const std::uint32_t* source = frame.data() + (y / fit.factor) * screenWidth;
            for (int x = 0; x < scaled->w; ++x)
                row[x] = 0xFF000000u | source[x / fit.factor];
        }
        SDL_UnlockSurface(scaled);
        SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
        SDL_Rect place{fit.left, fit.top, scaled->w, scaled->h};
        SDL_BlitSurface(scaled, nullptr, target, &place);
        SDL_UpdateWindowSurface(window);
    }

    void raise()
    {
        if (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED)
            SDL_RestoreWindow(window);
        SDL_RaiseWindow(window);
    }

    // A press at window coordinates, or nothing when it is beside the picture.
    void tapAt(int windowX, int windowY)
    {
        int width = 0;
        int height = 0;
        SDL_GetWindowSize(window, &width, &height);
        Fit fit = fitScreen(width, height);
        int x = windowX - fit.left;
        int y = windowY - fit.top;
        if (x < 0 || y < 0 || x >= screenWidth * fit.factor || y >= screenHeight * fit.factor)
            return;
        backend::queueTap(x / fit.factor, y / fit.factor);
    }

    void keyPressed(const SDL_KeyboardEvent& key)
    {
        if (key.repeat)
            return;
        Param code = 0;
        SDL_Keycode symbol = key.keysym.sym;
        if (symbol == SDLK_RETURN || symbol == SDLK_KP_ENTER)
            code = keyEnter;
        else if (symbol == SDLK_ESCAPE)
            code = keyEscape;
        else if (symbol == SDLK_UP)
            code = keyArrowUp;
        else if (symbol == SDLK_DOWN)
            code = keyArrowDown;
        else if (symbol == SDLK_LEFT)
            code = keyArrowLeft;
        else if (symbol == SDLK_RIGHT)
            code = keyArrowRight;
        else if (symbol == SDLK_TAB)
            code = keyTab;
        else if (symbol == SDLK_SPACE)
            code = keySpace;
        else if (symbol == SDLK_F1)
            code = keyF1;
        else if (symbol == SDLK_F2)
            code = keyF2;
        else if (symbol >= SDLK_a && symbol <= SDLK_z)
            code = 'A' + (symbol - SDLK_a);
        Param modifiers = 0;
        if (key.keysym.mod & KMOD_CTRL)
            modifiers |= modifierControl;
        if (key.keysym.mod & KMOD_SHIFT)
            modifiers |= modifierShift;
        if (code != 0)
            backend::queueKey(code, modifiers);
    }

    bool handleUpkeep(const SDL_Event& event)
    {
        if (event.type == raiseEventType.load()) {
            raise();
            return true;
        }
        if (event.type != SDL_WINDOWEVENT)
            return false;
        switch (event.window.event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN:
            if (shown)
                show();
            return true;
        case SDL_WINDOWEVENT_CLOSE:
            return false;
        default:
            return true;
        }
    }

    void handle(const SDL_Event& event)
    {
        if (handleUpkeep(event))
            return;
        switch (event.type) {
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE)
                backend::queueClose();
            break;
        case SDL_MOUSEBUTTONDOWN:
            // Touch presses arrive as finger events too; take them only once.
            if (event.button.button == SDL_BUTTON_LEFT && event.button.which != SDL_TOUCH_MOUSEID)
                tapAt(event.button.x, event.button.y);
            break;
        case SDL_FINGERDOWN: {
            int width = 0;
            int height = 0;
            SDL_GetWindowSize(window, &width, &height);
            tapAt(static_cast<int>(event.tfinger.x * static_cast<float>(width)),
                  static_cast<int>(event.tfinger.y * static_cast<float>(height)));
            break;
        }
        case SDL_KEYDOWN:
            keyPressed(event.key);
            break;
        default:
            break;
        }
    }

    void handleUpkeepOnly()
    {
        SDL_PumpEvents();
        SDL_Event events[16];
        int count = SDL_PeepEvents(events, 16, SDL_GETEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT);
        for (int i = 0; i < count; ++i) {
            // A close press is input: back to the queue for the message loop.
            if (!handleUpkeep(events[i]))
                SDL_PushEvent(&events[i]);
        }
        Uint32 raiseType = raiseEventType.load();
        if (SDL_PeepEvents(events, 16, SDL_GETEVENT, raiseType, raiseType) > 0)
            raise();
    }

    SDL_Window* window;
    int unitMilliseconds;  // real time of one pause unit
    SDL_Surface* scaled = nullptr;
    std::vector<std::uint32_t> frame;  // the last screen presented, for re-showing
    bool shown = false;
};

#ifdef ZARTA_X11_ERRORS
// Xlib's default error handler ends the process. SDL sends itself wake-up
// events that can reach the server after its window has gone (at quit, for
// one), and such an error must not turn a clean exit or a game in progress
// into a failure. Errors are reported and play goes on.
int reportXError(Display*, XErrorEvent* error)
{
    if (error->error_code != BadWindow)
        std::fprintf(stderr, "zarta: X error %d (request %d) ignored\n", error->error_code, error->request_code);
    return 0;
}

void keepXErrorsFromEndingTheGame()
{
    // SDL loads Xlib itself; take the function from the copy it loaded.
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!xlib)
        return;
    using SetHandler = XErrorHandler (*)(XErrorHandler);
    auto setHandler = reinterpret_cast<SetHandler>(dlsym(xlib, "XSetErrorHandler"));
    if (setHandler)
        setHandler(reportXError);
    dlclose(xlib);
}
#endif

bool cannotOpenDisplay()
{
    std::fprintf(stderr, "zarta: cannot open a display: %s\n", SDL_GetError());
    return false;
}

}  // namespace

bool install(int unitMilliseconds)
{
    SDL_SetMainReady();
    // Without SDL's handlers, an interrupt or terminate signal ends the program as usual.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return cannotOpenDisplay();
    // With no display SDL falls back to drawing nowhere; a game nobody can
    // see must not keep running, unless that driver was asked for by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    bool invisible = driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0);
    if (invisible && !SDL_getenv("SDL_VIDEODRIVER")) {
        SDL_SetError("no X11 or Wayland display found");
        cannotOpenDisplay();
        SDL_Quit();
        return false;
    }

#ifdef ZARTA_X11_ERRORS
    if (driver && SDL_strcmp(driver, "x11") == 0)
        keepXErrorsFromEndingTheGame();
#endif

    SDL_Rect usable{0, 0, screenWidth, screenHeight};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0)
        usable = {0, 0, screenWidth, screenHeight};
    int factor = fitScreen(usable.w, usable.h).factor;
    // Created hidden and shown with the first picture, so a second copy that
    // only hands over to the first never flashes a window.
    SDL_Window* window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, screenWidth * factor,
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
    Uint32 type = SDL_RegisterEvents(1);
    raiseEventType = type == static_cast<Uint32>(-1) ? 0 : type;
    backend::install(std::make_unique<SdlBackend>(window, unitMilliseconds));
    return true;
}

}  // namespace platform::sdl
