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
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    explicit SdlBackend(SDL_Window* window) : window(window), frame(screenWidth * screenHeight, 0) {}

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

    void present(const std::uint8_t* indices, const std::uint32_t* palette) override
    {
        // Only the rows that differ from the frame on show are drawn again.
        int first = 0;
        while (first < screenHeight && std::memcmp(rowOf(frame.data(), first), rowOf(indices, first), screenWidth) == 0)
            ++first;
        int last = screenHeight;
        while (last > first && std::memcmp(rowOf(frame.data(), last - 1), rowOf(indices, last - 1), screenWidth) == 0)
            --last;
        std::memcpy(frame.data() + first * screenWidth, indices + first * screenWidth,
                    static_cast<std::size_t>((last - first) * screenWidth));
        if (!std::equal(colours.begin(), colours.end(), palette)) {
            std::copy_n(palette, colours.size(), colours.begin());
            mappedFor = nullptr;
            first = 0;
            last = screenHeight;
        }
        if (!shown) {
            SDL_ShowWindow(window);
            shown = true;
            first = 0;
            last = screenHeight;
        }
        show(first, last);
        if (exitAfterFirstFrame)
            exitProcess(0);
    }

    void startPause(int) override
    {
        // Straight from one pause into the next, the next runs on from where
        // the last one ended, so sleeping late and drawing between steps do
        // not add up over an animation.
        auto now = std::chrono::steady_clock::now();
        pauseStarted = now - lastDeadline < std::chrono::milliseconds(core::unitMilliseconds) / 2 ? lastDeadline : now;
    }

    void waitUnits(int units) override
    {
        // Input stays in SDL's queue for the message loop; only the window's
        // own upkeep (re-showing after an expose, raising) runs meanwhile.
        const auto unit = std::chrono::milliseconds(core::unitMilliseconds);
        auto deadline = pauseStarted + units * unit;
        for (;;) {
            auto now = std::chrono::steady_clock::now();
            if (now >= deadline)
                break;
            std::this_thread::sleep_until(std::min(deadline, now + unit));
            handleUpkeepOnly();
        }
        lastDeadline = deadline;
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
    static const std::uint8_t* rowOf(const std::uint8_t* indices, int row) { return indices + row * screenWidth; }

    // Draws screen rows [first, last) into the window surface, each pixel
    // repeated factor times across and each row factor times down, and shows
    // them. The bars beside the picture are filled only when the surface is new.
    void show(int first, int last)
    {
        SDL_Surface* target = SDL_GetWindowSurface(window);
        if (!target)
            return;
        const int bytes = target->format->BytesPerPixel;
        if (bytes != 4 && bytes != 2)
            return;
        const bool fresh = target != mappedFor || target->w != mappedWidth || target->h != mappedHeight;
        if (fresh) {
            for (std::size_t i = 0; i < colours.size(); ++i)
                mapped[i] = SDL_MapRGB(target->format, static_cast<Uint8>(colours[i] >> 16),
                                       static_cast<Uint8>(colours[i] >> 8), static_cast<Uint8>(colours[i]));
            mappedFor = target;
            mappedWidth = target->w;
            mappedHeight = target->h;
            first = 0;
            last = screenHeight;
        }
        if (first >= last)
            return;
        const Fit fit = fitScreen(target->w, target->h);
        if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0)
            return;
        if (fresh)
            fillBars(target, fit);
        if (bytes == 4)
            scaleRows<Uint32>(target, fit, first, last);
        else
            scaleRows<Uint16>(target, fit, first, last);
        if (SDL_MUSTLOCK(target))
            SDL_UnlockSurface(target);
        if (fresh) {
            SDL_UpdateWindowSurface(window);
            return;
        }
        const SDL_Rect rows{0, fit.top + first * fit.factor, target->w, (last - first) * fit.factor};
        const SDL_Rect whole{0, 0, target->w, target->h};
        SDL_Rect changed{};
        if (SDL_IntersectRect(&rows, &whole, &changed))
            SDL_UpdateWindowSurfaceRects(window, &changed, 1);
    }

    template <class Pixel>
    void scaleRows(SDL_Surface* target, const Fit& fit, int first, int last)
    {
        // A window smaller than the picture shows its middle.
        const int leftColumn = (std::max(0, -fit.left) + fit.factor - 1) / fit.factor;
        const int rightColumn = std::min(screenWidth, (target->w - fit.left) / fit.factor);
        if (rightColumn <= leftColumn)
            return;
        const std::size_t rowBytes = static_cast<std::size_t>((rightColumn - leftColumn) * fit.factor) * sizeof(Pixel);
        auto lineAt = [&](int y) {
            return reinterpret_cast<Pixel*>(static_cast<Uint8*>(target->pixels) + y * target->pitch) + fit.left +
                   leftColumn * fit.factor;
        };
        for (int row = first; row < last; ++row) {
            const int top = fit.top + row * fit.factor;
            const int firstLine = std::max(top, 0);
            const int endLine = std::min(top + fit.factor, target->h);
            if (firstLine >= endLine)
                continue;
            Pixel* out = lineAt(firstLine);
            const std::uint8_t* source = rowOf(frame.data(), row);
            for (int column = leftColumn; column < rightColumn; ++column) {
                const auto colour = static_cast<Pixel>(mapped[source[column]]);
                for (int k = 0; k < fit.factor; ++k)
                    *out++ = colour;
            }
            for (int line = firstLine + 1; line < endLine; ++line)
                std::memcpy(lineAt(line), lineAt(firstLine), rowBytes);
        }
    }

    void fillBars(SDL_Surface* target, const Fit& fit)
    {
        const Uint32 black = SDL_MapRGB(target->format, 0, 0, 0);
        const int right = fit.left + screenWidth * fit.factor;
        const int bottom = fit.top + screenHeight * fit.factor;
        const SDL_Rect bars[] = {
            {0, 0, target->w, std::max(0, fit.top)},
            {0, bottom, target->w, std::max(0, target->h - bottom)},
            {0, fit.top, std::max(0, fit.left), screenHeight * fit.factor},
            {right, fit.top, std::max(0, target->w - right), screenHeight * fit.factor},
        };
        for (const SDL_Rect& bar : bars) {
            if (bar.w > 0 && bar.h > 0)
                SDL_FillRect(target, &bar, black);
        }
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
        else if (symbol >= SDLK_a && symbol <= SDLK_z)
            code = 'A' + (symbol - SDLK_a);
        if (code != 0)
            backend::queueKey(code, (key.keysym.mod & KMOD_CTRL) ? modifierControl : 0);
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
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN:
            // The window surface still holds the picture: show it again as it is.
            if (shown && !showFreshSurface())
                SDL_UpdateWindowSurface(window);
            return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (shown)
                showFreshSurface();
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

    // True when the window's surface is new, or of a new size, and was drawn whole.
    bool showFreshSurface()
    {
        SDL_Surface* target = SDL_GetWindowSurface(window);
        if (target && target == mappedFor && target->w == mappedWidth && target->h == mappedHeight)
            return false;
        show(0, screenHeight);
        return true;
    }

    SDL_Window* window;
    std::vector<std::uint8_t> frame;          // the palette indices on show
    std::array<std::uint32_t, 256> colours{};  // 0xRRGGBB by index
    std::array<Uint32, 256> mapped{};          // the same in the window surface's format
    const SDL_Surface* mappedFor = nullptr;    // the surface `mapped` and the bars were made for
    int mappedWidth = 0;
    int mappedHeight = 0;
    bool shown = false;
    const bool exitAfterFirstFrame = SDL_getenv("ZARTA_EXIT_AFTER_FIRST_FRAME") != nullptr &&
                                     SDL_strcmp(SDL_getenv("ZARTA_EXIT_AFTER_FIRST_FRAME"), "1") == 0;
    std::chrono::steady_clock::time_point pauseStarted{};
    std::chrono::steady_clock::time_point lastDeadline{};
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

bool install()
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
    backend::install(std::make_unique<SdlBackend>(window));
    return true;
}

}  // namespace platform::sdl
