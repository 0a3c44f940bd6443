// sdl-frames: the desktop back end's window shows exactly the frames it is
// given. Under an X server (tests/sdl_frames.sh starts one), it presents a
// run of frames changed in random places, at several window sizes, and after
// each reads the window back from the server and compares every pixel with
// the frame scaled by the whole factor that fits, centred on black; then
// again with side text beside the screen, whose panel changes with every
// frame and must leave every pixel of the screen as it was.
// Exit status 0 when every pixel matched, 1 at the first difference.
#include "platform/Core.h"
#include "platform/FramePainter.h"
#include "platform/Platform.h"
#include "platform/Sdl.h"
#include "platform/SidePanel.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using platform::screenHeight;
using platform::screenWidth;

struct ShownWindow {
    SDL_Window* sdl;
    Display* display;
    ::Window x;
};

// Lets the back end take the window's events until `done` holds, for up to a
// minute: far longer than the server needs, even on a busy machine.
template <class Condition>
bool eventually(Condition done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    for (;;) {
        platform::core::currentBackend().collectInput();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool resizeTo(const ShownWindow& window, int width, int height)
{
    SDL_SetWindowSize(window.sdl, width, height);
    return eventually([&] {
        int w = 0;
        int h = 0;
        SDL_GetWindowSize(window.sdl, &w, &h);
        return w == width && h == height;
    });
}

int sideFrames = 0;

// Side text that changes with every frame shown.
platform::SideText changingSideText()
{
    return {true, "What happened", {}, {"Frame " + std::to_string(sideFrames++)}, {}};
}

// The first pixel of the window that differs from `frame` scaled into it, or
// an empty string when none does; with a panel beside it, the panel shows
// its caption bar and is not compared further.
std::string firstDifference(const ShownWindow& window, const std::vector<std::uint8_t>& frame, bool panel = false)
{
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window.sdl, &width, &height);
    // Read on SDL's own connection: the server answers after every request sent before.
    XImage* image = XGetImage(window.display, window.x, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image)
        return "the window could not be read";
    const platform::Layout layout = platform::layOut(width, height, panel ? platform::sdl::panelColumns : 0);
    const int factor = layout.board.factor;
    const int left = layout.board.left;
    const int top = layout.board.top;
    const std::uint32_t* palette = platform::core::screenPalette();
    std::string difference;
    if (panel && (!layout.panel || (static_cast<std::uint32_t>(XGetPixel(image, layout.panelLeft + 1, top + 1)) &
                                    0xFFFFFFu) != platform::core::colour::bar.rgb))
        difference = "no side panel beside the screen";
    for (int y = 0; y < height && difference.empty(); ++y) {
        for (int x = 0; x < width; ++x) {
            if (layout.panel && x >= layout.panelLeft && x < layout.panelLeft + platform::sdl::panelColumns * factor &&
                y >= top && y < top + screenHeight * factor)
                continue;
            const int column = (x - left) / factor;
            const int row = (y - top) / factor;
            const bool inside = x >= left && y >= top && column < screenWidth && row < screenHeight;
            const std::uint32_t expected =
                inside ? palette[frame[static_cast<std::size_t>(row * screenWidth + column)]] & 0xFFFFFFu : 0u;
            const auto shown = static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu;
            if (shown != expected) {
                char text[160];
                std::snprintf(text, sizeof text, "window %dx%d, pixel %d,%d shows %06X instead of %06X", width, height,
                              x, y, shown, expected);
                difference = text;
                break;
            }
        }
    }
    XDestroyImage(image);
    return difference;
}

// Changes the frame the way screens change: a few rectangles of one colour,
// from a single pixel to the whole screen, or nothing at all.
void changeSomething(std::vector<std::uint8_t>& frame, std::mt19937& random)
{
    const int changes = static_cast<int>(random() % 4);
    for (int i = 0; i < changes; ++i) {
        const int kind = static_cast<int>(random() % 10);
        int x = static_cast<int>(random() % screenWidth);
        int y = static_cast<int>(random() % screenHeight);
        int w = 1 + static_cast<int>(random() % 60);
        int h = 1 + static_cast<int>(random() % 60);
        if (kind == 0) {
            x = y = 0;
            w = screenWidth;
            h = screenHeight;
        } else if (kind == 1) {
            w = h = 1;
        } else if (kind == 2) {
            x = 0;
            w = screenWidth;
        }
        const auto colour = static_cast<std::uint8_t>(random() % 256);
        for (int row = y; row < std::min(screenHeight, y + h); ++row)
            std::fill_n(frame.begin() + row * screenWidth + x, std::min(w, screenWidth - x), colour);
    }
}

}  // namespace

int main()
{
    if (!platform::sdl::install(1))
        return 1;
    SDL_Window* sdl = SDL_GetWindowFromID(1);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!sdl || !SDL_GetWindowWMInfo(sdl, &info) || info.subsystem != SDL_SYSWM_X11) {
        std::fprintf(stderr, "sdl-frames: the window is not on an X11 display\n");
        return 1;
    }
    const ShownWindow window{sdl, info.info.x11.display, info.info.x11.window};
    int opcode = 0;
    int event = 0;
    int error = 0;
    std::printf("sdl-frames: the server %s memory\n",
                XQueryExtension(window.display, "MIT-SHM", &opcode, &event, &error) ? "shares" : "does not share");

    // Shown with the first frame; read back only once viewable, and wholly on the screen.
    std::vector<std::uint8_t> blank(static_cast<std::size_t>(screenWidth * screenHeight), 0);
    platform::core::currentBackend().present(blank.data(), platform::core::screenPalette());
    SDL_SetWindowPosition(sdl, 0, 0);
    XWindowAttributes attributes{};
    eventually([&] {
        int x = -1;
        int y = -1;
        SDL_GetWindowPosition(sdl, &x, &y);
        return XGetWindowAttributes(window.display, window.x, &attributes) && attributes.map_state == IsViewable &&
               x == 0 && y == 0;
    });
    if (attributes.map_state != IsViewable) {
        std::fprintf(stderr, "sdl-frames: FAIL: the window never became viewable\n");
        platform::exitProcess(1);
    }

    std::mt19937 random(7);
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(screenWidth * screenHeight), 0);
    const struct {
        int width;
        int height;
    } sizes[] = {{0, 0}, {500, 700}, {700, 700}, {240, 320}, {737, 651}, {1000, 760}};
    int frames = 0;
    for (const auto& size : sizes) {
        if (size.width > 0 && !resizeTo(window, size.width, size.height)) {
            std::fprintf(stderr, "sdl-frames: FAIL: the window did not take the size %dx%d\n", size.width, size.height);
            platform::exitProcess(1);
        }
        for (int step = 0; step < 25; ++step, ++frames) {
            changeSomething(frame, random);
            platform::core::currentBackend().present(frame.data(), platform::core::screenPalette());
            const std::string difference = firstDifference(window, frame);
            if (!difference.empty()) {
                std::fprintf(stderr, "sdl-frames: FAIL: frame %d: %s\n", frames, difference.c_str());
                platform::exitProcess(1);
            }
        }
    }
    // Side text beside the screen, changing with every frame.
    platform::sdl::setSideTextSource(changingSideText);
    for (const auto& size : {std::pair{832, 640}, std::pair{1000, 760}}) {
        if (!resizeTo(window, size.first, size.second)) {
            std::fprintf(stderr, "sdl-frames: FAIL: the window did not take the size %dx%d\n", size.first, size.second);
            platform::exitProcess(1);
        }
        for (int step = 0; step < 25; ++step, ++frames) {
            changeSomething(frame, random);
            platform::core::currentBackend().present(frame.data(), platform::core::screenPalette());
            const std::string difference = firstDifference(window, frame, true);
            if (!difference.empty()) {
                std::fprintf(stderr, "sdl-frames: FAIL: frame %d beside side text: %s\n", frames, difference.c_str());
                platform::exitProcess(1);
            }
        }
    }
    // A frame without pixels or colours leaves the last one on show.
    platform::core::currentBackend().present(nullptr, platform::core::screenPalette());
    platform::core::currentBackend().present(frame.data(), nullptr);
    if (const std::string difference = firstDifference(window, frame, true); !difference.empty()) {
        std::fprintf(stderr, "sdl-frames: FAIL: after a frame without pixels or colours: %s\n", difference.c_str());
        platform::exitProcess(1);
    }
    std::printf("sdl-frames: OK, %d frames at %zu sizes and 2 beside side text\n", frames, std::size(sizes));
    std::fflush(stdout);
    platform::exitProcess(0);
    return 0;
}
