// The SDL2 back end: the 240 x 320 device screen in a resizable desktop
// window, scaled by the largest whole factor that fits and drawn through the
// window surface (no renderer: it would pull in a GL stack for a few
// thousand pixels). Taps are mouse or touch presses mapped back to screen
// pixels.
#include "platform/Sdl.h"

#include "platform/Backend.h"
#include "platform/Core.h"
#include "platform/SharedFrame.h"
#include "platform/SingleInstance.h"
#include "resources/Resources.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <dlfcn.h>
#include <unistd.h>
#define ZARTA_X11 1
#endif

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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
Uint32 raiseEventType = 0;  // under raiseLock; 0 before start-up and from shutdown on
bool windowShown = false;   // under raiseLock: shown and not gone

bool pushRaiseEvent()
{
    std::lock_guard<std::mutex> guard(raiseLock());
    if (raiseEventType == 0 || !windowShown)
        return false;
    SDL_Event event{};
    event.type = raiseEventType;
    return SDL_PushEvent(&event) == 1;
}

void setWindowShown(bool shown)
{
    std::lock_guard<std::mutex> guard(raiseLock());
    windowShown = shown;
}

// Another program (a window manager going away, xkill, xdotool) may destroy
// the window under us. The back end then ends the program at its next look.
std::atomic<bool> windowGone{false};
std::atomic<bool> windowEverShown{false};

#ifdef ZARTA_X11
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

// Copies into the window's pixels past the processor's caches: the X server
// reads them next, and a whole frame at scale 3 (2.7 MB) would otherwise
// first be read in only to be overwritten, and push out what the game uses.
void copyPastCache(void* to, const void* from, std::size_t bytes)
{
#if defined(__SSE2__)
    auto* out = static_cast<std::uint8_t*>(to);
    const auto* in = static_cast<const std::uint8_t*>(from);
    const std::size_t head = std::min(bytes, (16 - reinterpret_cast<std::uintptr_t>(out) % 16) % 16);
    std::memcpy(out, in, head);
    out += head;
    in += head;
    bytes -= head;
    for (; bytes >= 16; bytes -= 16, out += 16, in += 16)
        _mm_stream_si128(reinterpret_cast<__m128i*>(out), _mm_loadu_si128(reinterpret_cast<const __m128i*>(in)));
    std::memcpy(out, in, bytes);
#else
    std::memcpy(to, from, bytes);
#endif
}

// Orders those copies before whatever tells the server to read them.
void finishCopiesPastCache()
{
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

// The columns [begin, end) of a screen row that differ between two frames;
// begin == end == 0 when none do.
struct Span {
    std::int16_t begin = 0;
    std::int16_t end = 0;
};

Span differingColumns(const std::uint8_t* shown, const std::uint8_t* next)
{
    if (std::memcmp(shown, next, screenWidth) == 0)
        return {};
    int begin = 0;
    while (shown[begin] == next[begin])
        ++begin;
    int end = screenWidth;
    while (shown[end - 1] == next[end - 1])
        --end;
    return {static_cast<std::int16_t>(begin), static_cast<std::int16_t>(end)};
}

class SdlBackend final : public backend::Backend {
public:
    SdlBackend(SDL_Window* window, int paceMilliseconds)
        : window(window), paceMilliseconds(paceMilliseconds), frame(screenWidth * screenHeight, 0),
          sharedFrame(SharedFrame::open(window))
    {}
    ~SdlBackend() override { shutDown(); }

    bool waitForInput() override
    {
        SDL_Event event;
        if (!SDL_WaitEvent(&event))
            return false;
        handle(event);
        collectInput();
        endIfWindowGone();
        return true;
    }

    void collectInput() override
    {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            handle(event);
    }

    void present(const std::uint8_t* indices, const std::uint32_t* palette) override
    {
        // Only the parts of rows that differ from the frame on show are drawn again.
        int first = screenHeight;
        int last = 0;
        for (int row = 0; row < screenHeight; ++row) {
            changed[static_cast<std::size_t>(row)] = differingColumns(rowOf(frame.data(), row), rowOf(indices, row));
            if (changed[static_cast<std::size_t>(row)].end > 0) {
                first = std::min(first, row);
                last = row + 1;
            }
        }
        std::memcpy(frame.data(), indices, frame.size());
        bool whole = false;
        if (!std::equal(colours.begin(), colours.end(), palette)) {
            std::copy_n(palette, colours.size(), colours.begin());
            mappedFor = nullptr;
            whole = true;
        }
        endIfWindowGone();
        const bool firstFrame = !shown;
        if (firstFrame) {
            SDL_ShowWindow(window);
            shown = true;
            windowEverShown = true;
            setWindowShown(true);
            whole = true;
        }
        if (whole)
            show(0, screenHeight, nullptr);
        else
            show(first, last, changed.data());
        // The window appears with its first picture in it, not after.
        if (firstFrame && sharedFrame)
            sharedFrame->finish();
        if (exitAfterFirstFrame)
            exitProcess(0);
    }

    void startPause(int) override
    {
        // Straight from one pause into the next, the next runs on from where
        // the last one ended, so sleeping late and drawing between steps do
        // not add up over an animation.
        auto now = std::chrono::steady_clock::now();
        pauseStarted = now - lastDeadline < std::chrono::milliseconds(paceMilliseconds) / 2 ? lastDeadline : now;
    }

    void waitUnits(int units) override
    {
        // Input stays in SDL's queue for the message loop; only the window's
        // own upkeep (re-showing after an expose, raising) runs meanwhile.
        const auto unit = std::chrono::milliseconds(paceMilliseconds);
        auto deadline = pauseStarted + units * unit;
        for (;;) {
            auto now = std::chrono::steady_clock::now();
            if (now >= deadline)
                break;
            std::this_thread::sleep_until(std::min(deadline, now + unit));
            handleUpkeepOnly();
            endIfWindowGone();
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
        shutDown();
        std::exit(status);
    }

    std::string instanceDirectory() override { return instance::defaultDirectory(); }
    std::string instanceDisplay() override { return displayName(); }
    RaiseHandler raiseHandler() override { return pushRaiseEvent; }

    void showIdentity(const char* title, int iconId) override
    {
        SDL_SetWindowTitle(window, title);
        const resources::Bitmap* icon = resources::findIcon(iconId, 32);
        if (!icon)
            return;
        SDL_Surface* surface =
            SDL_CreateRGBSurfaceWithFormat(0, icon->width, icon->height, 32, SDL_PIXELFORMAT_ARGB8888);
        if (!surface)
            return;
        SDL_LockSurface(surface);
        for (int y = 0; y < icon->height; ++y) {
            auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch);
            for (int x = 0; x < icon->width; ++x) {
                std::uint8_t index = icon->pixels[y * icon->width + x];
                row[x] = index == resources::clearIndex() ? 0u : 0xFF000000u | resources::paletteColor(index);
            }
        }
        SDL_UnlockSurface(surface);
        SDL_SetWindowIcon(window, surface);
        SDL_FreeSurface(surface);
    }

private:
    // Nothing may push events or wake the loop once the window is going.
    void shutDown()
    {
        SDL_Window* going = window;
        window = nullptr;
        if (!going)
            return;
        {
            std::lock_guard<std::mutex> guard(raiseLock());
            raiseEventType = 0;
            windowShown = false;
        }
        // Destroying the window queues focus, hide and key-release events.
        // Each event queued after a wait wakes the loop by sending the window
        // a message, which fails once the window is destroyed; no event is
        // queued from here on.
        SDL_SetEventFilter(dropEvent, nullptr);
        if (sharedFrame) {
            sharedFrame->release(windowGone);
            sharedFrame.reset();
        }
        // Tearing down a window another program destroyed only sends
        // requests about it that fail, and SDL reports those with Xlib's
        // handler once it has put that back: the server tidies up instead.
        if (!windowGone) {
            SDL_DestroyWindow(going);
            SDL_Quit();
        }
    }

    static int SDLCALL dropEvent(void*, SDL_Event*) { return 0; }

    // A window the user can no longer see ends the program, as closing it would.
    void endIfWindowGone()
    {
        if (!windowGone)
            return;
        setWindowShown(false);
        platform::exitProcess(0);
    }

    static const std::uint8_t* rowOf(const std::uint8_t* indices, int row) { return indices + row * screenWidth; }

    // Where a frame is drawn: the window's shared pixels, or SDL's window surface.
    struct Canvas {
        Uint8* pixels = nullptr;
        int pitch = 0;
        int width = 0;
        int height = 0;
        int bytes = 0;  // a pixel's
        const SDL_PixelFormat* format = nullptr;
        const void* identity = nullptr;  // new pixels, new identity
    };

    // Pixels to draw into, or false when there are none to be had. Shared
    // pixels that fail are given up for good, for the window surface.
    bool acquire(Canvas& canvas)
    {
        if (sharedFrame) {
            int width = 0;
            int height = 0;
            SDL_GetWindowSize(window, &width, &height);
            if (width <= 0 || height <= 0)
                return false;
            if (const SharedFrame::Pixels* pixels = sharedFrame->pixels(width, height)) {
                canvas = {pixels->data, pixels->pitch, pixels->width, pixels->height, 4, pixels->format, pixels->data};
                return true;
            }
            sharedFrame->release(windowGone);
            sharedFrame.reset();
        }
        SDL_Surface* target = SDL_GetWindowSurface(window);
        if (!target)
            return false;
        canvas = {static_cast<Uint8*>(target->pixels), target->pitch,  target->w, target->h,
                  target->format->BytesPerPixel,       target->format, target};
        return true;
    }

    // True when what was last drawn is what the window needs at its size now.
    bool canvasCurrent()
    {
        if (sharedFrame) {
            int width = 0;
            int height = 0;
            SDL_GetWindowSize(window, &width, &height);
            return sharedFrame->fits(width, height) && mappedWidth == width && mappedHeight == height;
        }
        SDL_Surface* target = SDL_GetWindowSurface(window);
        return target && target == mappedFor && target->w == mappedWidth && target->h == mappedHeight;
    }

    // Shows the window's pixels again as they are (after an expose).
    void showAgain()
    {
        if (sharedFrame)
            sharedFrame->put(0, mappedHeight);
        else
            SDL_UpdateWindowSurface(window);
    }

    // Draws screen rows [first, last) into the window's pixels, each pixel
    // repeated factor times across and each row factor times down, and shows
    // them: of each row only its span in `spans`, or all of it without them.
    // The bars beside the picture are filled only when the pixels are new.
    void show(int first, int last, const Span* spans)
    {
        Canvas target;
        if (!acquire(target))
            return;
        if (target.bytes != 4 && target.bytes != 2)
            return;
        const bool fresh = target.identity != mappedFor || target.width != mappedWidth || target.height != mappedHeight;
        if (fresh) {
            for (std::size_t i = 0; i < colours.size(); ++i)
                mapped[i] = SDL_MapRGB(target.format, static_cast<Uint8>(colours[i] >> 16),
                                       static_cast<Uint8>(colours[i] >> 8), static_cast<Uint8>(colours[i]));
            mappedFor = target.identity;
            mappedWidth = target.width;
            mappedHeight = target.height;
            first = 0;
            last = screenHeight;
            spans = nullptr;
        }
        if (first >= last)
            return;
        const Fit fit = fitScreen(target.width, target.height);
        SDL_Surface* surface = sharedFrame ? nullptr : SDL_GetWindowSurface(window);
        if (surface && SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
            return;
        if (fresh)
            fillBars(target, fit);
        if (target.bytes == 4)
            scaleRows<Uint32>(target, fit, first, last, spans);
        else
            scaleRows<Uint16>(target, fit, first, last, spans);
        if (surface && SDL_MUSTLOCK(surface))
            SDL_UnlockSurface(surface);
        const int top = fresh ? 0 : std::max(0, fit.top + first * fit.factor);
        const int bottom = fresh ? target.height : std::min(target.height, fit.top + last * fit.factor);
        if (bottom <= top)
            return;
        if (sharedFrame) {
            sharedFrame->put(top, bottom - top);
        } else if (fresh) {
            SDL_UpdateWindowSurface(window);
        } else {
            const SDL_Rect rows{0, top, target.width, bottom - top};
            SDL_UpdateWindowSurfaceRects(window, &rows, 1);
        }
    }

    // Each of `columns` indices as `factor` pixels in a row; a `fixed`
    // factor gives a loop the compiler can unroll.
    template <class Pixel, int fixed = 0>
    void widen(Pixel* out, const std::uint8_t* source, int columns, int factor) const
    {
        const int times = fixed > 0 ? fixed : factor;
        for (int column = 0; column < columns; ++column) {
            const auto colour = static_cast<Pixel>(mapped[source[column]]);
            for (int k = 0; k < times; ++k)
                *out++ = colour;
        }
    }

    template <class Pixel>
    void scaleRows(const Canvas& target, const Fit& fit, int first, int last, const Span* spans)
    {
        // A window smaller than the picture shows its middle.
        const int leftColumn = (std::max(0, -fit.left) + fit.factor - 1) / fit.factor;
        const int rightColumn = std::min(screenWidth, (target.width - fit.left) / fit.factor);
        if (rightColumn <= leftColumn)
            return;
        const auto widest = static_cast<std::size_t>((rightColumn - leftColumn) * fit.factor) * sizeof(Pixel);
        if (line.size() < widest)
            line.resize(widest);
        auto* const scaled = reinterpret_cast<Pixel*>(line.data());
        for (int row = first; row < last; ++row) {
            const int top = fit.top + row * fit.factor;
            const int firstLine = std::max(top, 0);
            const int endLine = std::min(top + fit.factor, target.height);
            const int begin = spans ? std::max<int>(leftColumn, spans[row].begin) : leftColumn;
            const int end = spans ? std::min<int>(rightColumn, spans[row].end) : rightColumn;
            if (firstLine >= endLine || begin >= end)
                continue;
            const std::uint8_t* source = rowOf(frame.data(), row) + begin;
            const int columns = end - begin;
            switch (fit.factor) {
            case 2:
                widen<Pixel, 2>(scaled, source, columns, 2);
                break;
            case 3:
                widen<Pixel, 3>(scaled, source, columns, 3);
                break;
            default:
                widen<Pixel>(scaled, source, columns, fit.factor);
                break;
            }
            const auto bytes = static_cast<std::size_t>(columns * fit.factor) * sizeof(Pixel);
            const auto offset = static_cast<std::size_t>(fit.left + begin * fit.factor) * sizeof(Pixel);
            for (int y = firstLine; y < endLine; ++y)
                copyPastCache(target.pixels + y * target.pitch + offset, scaled, bytes);
        }
        finishCopiesPastCache();
    }

    void fillBars(const Canvas& target, const Fit& fit)
    {
        const Uint32 black = SDL_MapRGB(target.format, 0, 0, 0);
        const int right = fit.left + screenWidth * fit.factor;
        const int bottom = fit.top + screenHeight * fit.factor;
        const SDL_Rect bars[] = {
            {0, 0, target.width, std::max(0, fit.top)},
            {0, bottom, target.width, std::max(0, target.height - bottom)},
            {0, fit.top, std::max(0, fit.left), screenHeight * fit.factor},
            {right, fit.top, std::max(0, target.width - right), screenHeight * fit.factor},
        };
        const SDL_Rect whole{0, 0, target.width, target.height};
        for (const SDL_Rect& bar : bars) {
            SDL_Rect inside{};
            if (!SDL_IntersectRect(&bar, &whole, &inside))
                continue;
            for (int y = inside.y; y < inside.y + inside.h; ++y) {
                Uint8* out = target.pixels + y * target.pitch + inside.x * target.bytes;
                if (target.bytes == 4)
                    std::fill_n(reinterpret_cast<Uint32*>(out), inside.w, black);
                else
                    std::fill_n(reinterpret_cast<Uint16*>(out), inside.w, static_cast<Uint16>(black));
            }
        }
    }

    // Window managers keep the minimum size; without one the window can be
    // made smaller, and the program grows it back so the whole screen shows.
    void keepMinimumSize(int width, int height)
    {
        if (width < screenWidth || height < screenHeight)
            SDL_SetWindowSize(window, std::max(width, screenWidth), std::max(height, screenHeight));
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

    // Keys already down when the window gets the focus are reported as fresh
    // presses; only a key pressed while the window has the focus counts.
    void noteKeysHeldAtFocus()
    {
        int count = 0;
        const Uint8* down = SDL_GetKeyboardState(&count);
        heldAtFocus.assign(down, down + count);
        addKeysDownOnTheServer(heldAtFocus);
    }

    bool wasHeldAtFocus(SDL_Scancode code) const
    {
        return code >= 0 && static_cast<std::size_t>(code) < heldAtFocus.size() && heldAtFocus[code];
    }

    void keyPressed(const SDL_KeyboardEvent& key)
    {
        if (key.repeat || wasHeldAtFocus(key.keysym.scancode))
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
        if (isOurWindowDestroyed(event)) {
            windowGone = true;
            return true;
        }
        if (event.type == SDL_SYSWMEVENT) {
            noteKeyRelease(event, heldAtFocus);
            if (sharedFrame)
                sharedFrame->note(event);
            return true;
        }
        if (event.type == currentRaiseEventType()) {
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
                showAgain();
            return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            keepMinimumSize(event.window.data1, event.window.data2);
            if (shown)
                showFreshSurface();
            return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            noteKeysHeldAtFocus();
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
        case SDL_KEYUP:
            if (wasHeldAtFocus(event.key.keysym.scancode))
                heldAtFocus[event.key.keysym.scancode] = 0;
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
        count = SDL_PeepEvents(events, 16, SDL_GETEVENT, SDL_SYSWMEVENT, SDL_SYSWMEVENT);
        for (int i = 0; i < count; ++i)
            handleUpkeep(events[i]);
        Uint32 raiseType = currentRaiseEventType();
        if (raiseType != 0 && SDL_PeepEvents(events, 16, SDL_GETEVENT, raiseType, raiseType) > 0)
            raise();
    }

    static Uint32 currentRaiseEventType()
    {
        std::lock_guard<std::mutex> guard(raiseLock());
        return raiseEventType;
    }

    // True when the window's pixels are new, or of a new size, and were drawn whole.
    bool showFreshSurface()
    {
        if (canvasCurrent())
            return false;
        show(0, screenHeight, nullptr);
        return true;
    }

    SDL_Window* window;
    int paceMilliseconds;                      // real time of one pause unit, the player's --pace
    std::vector<std::uint8_t> frame;           // the palette indices on show
    std::unique_ptr<SharedFrame> sharedFrame;  // the window's pixels, when shared with the X server
    std::array<Span, screenHeight> changed{};  // of each row, what the frame being shown changed
    std::vector<Uint8> line;                   // one screen row, scaled, before it goes to the window
    std::vector<Uint8> heldAtFocus;            // by scancode: down when the focus came, not released since
    std::array<std::uint32_t, 256> colours{};  // 0xRRGGBB by index
    std::array<Uint32, 256> mapped{};          // the same in the window surface's format
    const void* mappedFor = nullptr;           // the pixels `mapped` and the bars were made for
    int mappedWidth = 0;
    int mappedHeight = 0;
    bool shown = false;
    const bool exitAfterFirstFrame = SDL_getenv("ZARTA_EXIT_AFTER_FIRST_FRAME") != nullptr &&
                                     SDL_strcmp(SDL_getenv("ZARTA_EXIT_AFTER_FIRST_FRAME"), "1") == 0;
    std::chrono::steady_clock::time_point pauseStarted{};
    std::chrono::steady_clock::time_point lastDeadline{};
};

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
    watchX11Window(window);
    Uint32 type = SDL_RegisterEvents(1);
    {
        std::lock_guard<std::mutex> guard(raiseLock());
        raiseEventType = type == static_cast<Uint32>(-1) ? 0 : type;
    }
    backend::install(std::make_unique<SdlBackend>(window, paceMilliseconds));
    return true;
}

}  // namespace platform::sdl
