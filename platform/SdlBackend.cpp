// The SDL2 back end: the 240 x 320 device screen in a resizable desktop
// window, scaled by the largest whole factor that fits and drawn without a
// renderer (it would pull in a GL stack for a few thousand pixels): the
// window's event loop, pauses on the real clock and the window's upkeep.
// Opening the window (SdlStartup), its pixels (WindowPixels), the painting
// of a frame (FramePainter), input (SdlInput) and the X11 side (X11Watch)
// are apart.
#include "platform/Sdl.h"

#include "platform/Backend.h"
#include "platform/Core.h"
#include "platform/FramePainter.h"
#include "platform/PlayerFiles.h"
#include "platform/SdlBackend.h"
#include "platform/SdlInput.h"
#include "platform/SdlSound.h"
#include "platform/SidePanel.h"
#include "platform/SingleInstance.h"
#include "platform/WindowPixels.h"
#include "platform/X11Watch.h"
#include "resources/Resources.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace platform::sdl {

namespace {

SideText (*sideTextSource)() = nullptr;

class SdlBackend final : public backend::Backend {
public:
    SdlBackend(SDL_Window* window, int paceMilliseconds)
        : window(window), paceMilliseconds(paceMilliseconds), frame(screenWidth * screenHeight, 0), pixels(window)
    {}
    ~SdlBackend() override { shutDown(); }

    bool waitForInput() override
    {
        // What happened while the program ran shows beside the screen before it waits.
        if (shown && updatePanel())
            pixels.showPanel(frame.data());
        SDL_Event event;
        if (!waitForEvent(event))
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
        // Without pixels or colours there is nothing to show: the window keeps its frame.
        if (!indices || !palette)
            return;
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
        bool whole = pixels.setColours(palette);
        const bool panelChanged = updatePanel();
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
            pixels.show(frame.data(), 0, screenHeight, nullptr);
        else
            pixels.show(frame.data(), first, last, changed.data());
        if (panelChanged && !whole)
            pixels.showPanel(frame.data());
        // The window appears with its first picture in it, not after.
        if (firstFrame)
            pixels.finish();
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
            cues.settle();
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

    bool changePlayerData(const char* name, const PlayerDataChange& change, std::string& problem) override
    {
        const std::string folder = files::dataFolder(problem);
        return !folder.empty() && files::changeFile(folder + "/" + name, change, problem);
    }

    std::string playerDataPlace(const char* name) override
    {
        std::string problem;
        std::string folder = files::dataFolder(problem);
        const char* home = std::getenv("HOME");
        const std::size_t homeLength = home ? std::strlen(home) : 0;
        // As a player would type it.
        if (homeLength > 1 && folder.compare(0, homeLength, home) == 0 && folder[homeLength] == '/')
            folder.replace(0, homeLength, 1, '~');
        if (folder.empty())
            return folder;
        folder += '/';
        folder += name;
        return folder;
    }

    std::uint64_t gameSeed() override
    {
        // The system's random source: getrandom on Linux.
        std::random_device source;
        return (static_cast<std::uint64_t>(source()) << 32) ^ source();
    }

    void exitProcess(int status) override
    {
        shutDown();
        std::exit(status);
    }

    std::string instanceDirectory() override { return instance::defaultDirectory(); }
    std::string instanceDisplay() override { return displayName(); }
    RaiseHandler raiseHandler() override { return pushRaiseEvent; }

    void playCue(Cue cue) override { cues.play(cue); }
    void soundSwitched(bool on) override
    {
        if (!on)
            cues.silence();
    }

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
        stopRaising();
        cues.close();
        // Destroying the window queues focus, hide and key-release events.
        // Each event queued after a wait wakes the loop by sending the window
        // a message, which fails once the window is destroyed; no event is
        // queued from here on.
        SDL_SetEventFilter(dropEvent, nullptr);
        pixels.release(windowGone);
        // Tearing down a window another program destroyed only sends
        // requests about it that fail, and SDL reports those with Xlib's
        // handler once it has put that back: the server tidies up instead.
        if (!windowGone) {
            SDL_DestroyWindow(going);
            SDL_Quit();
        }
    }

    static int SDLCALL dropEvent(void*, SDL_Event*) { return 0; }

    // While the sound device is open the wait wakes when it needs tending:
    // paused as its cues end, closed after a long silence.
    bool waitForEvent(SDL_Event& event)
    {
        for (int left = cues.settle(); left > 0; left = cues.settle()) {
            if (SDL_WaitEventTimeout(&event, left))
                return true;
        }
        return SDL_WaitEvent(&event) == 1;
    }

    // Asks for the side text; true when what the panel shows changed.
    bool updatePanel()
    {
        if (!sideTextSource)
            return false;
        SideText text = sideTextSource();
        if (text == sideText)
            return false;
        const bool wantChanged = text.shown != sideText.shown;
        sideText = std::move(text);
        if (wantChanged) {
            SDL_SetWindowMinimumSize(window, leastWidth(), screenHeight);
            keepMinimumSize();
        }
        if (sideText.shown) {
            drawSidePanel(panelImage, sideText);
            pixels.setPanel({panelImage.pixels.data(), panelImage.width, panelImage.height});
        } else {
            pixels.setPanel({});
        }
        return true;
    }

    // A press on the panel's button is its key; anywhere else, the screen's.
    void press(int windowX, int windowY)
    {
        int width = 0;
        int height = 0;
        SDL_GetWindowSize(window, &width, &height);
        const Layout layout = pixels.layoutFor(width, height);
        const std::vector<Rect> buttons = sidePanelButtons(sideText);
        const int factor = layout.board.factor;
        if (sideText.shown && layout.panel && factor > 0 && windowX >= layout.panelLeft) {
            const int x = (windowX - layout.panelLeft) / factor;
            const int y = (windowY - layout.board.top) / factor;
            for (std::size_t index = 0; index < buttons.size(); ++index) {
                const Rect& button = buttons[index];
                if (x >= button.left && x < button.right && y >= button.top && y < button.bottom) {
                    backend::queueKey(sideText.buttons[index].key, 0);
                    return;
                }
            }
        }
        input.pressed(windowX, windowY, layout.board);
    }

    // A window the user can no longer see ends the program, as closing it would.
    void endIfWindowGone()
    {
        if (!windowGone)
            return;
        setWindowShown(false);
        platform::exitProcess(0);
    }

    static const std::uint8_t* rowOf(const std::uint8_t* indices, int row) { return indices + row * screenWidth; }

    // Window managers keep the minimum size; without one the window can be
    // made smaller, and the program grows it back so the whole screen shows,
    // and the panel beside it while the panel is wanted.
    int leastWidth() const { return sideText.shown ? screenWidth + panelGap + panelColumns : screenWidth; }
    void keepMinimumSize()
    {
        const int least = leastWidth();
        int width = 0;
        int height = 0;
        SDL_GetWindowSize(window, &width, &height);
        if (width < least || height < screenHeight)
            SDL_SetWindowSize(window, std::max(width, least), std::max(height, screenHeight));
    }

    // The wheel over the panel scrolls it: a key a notch, as many as turned.
    void turnWheel(const SDL_MouseWheelEvent& wheel)
    {
        int width = 0;
        int height = 0;
        SDL_GetWindowSize(window, &width, &height);
        int x = 0;
        int y = 0;
        SDL_GetMouseState(&x, &y);
        const Layout layout = pixels.layoutFor(width, height);
        const int factor = layout.board.factor;
        const bool over = x >= layout.panelLeft && x < layout.panelLeft + panelColumns * factor &&
                          y >= layout.board.top && y < layout.board.top + screenHeight * factor;
        if (!sideText.shown || !layout.panel || !over)
            return;
        const int notches = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -wheel.y : wheel.y;
        constexpr int mostNotches = 10;
        for (int notch = 0; notch < std::min(std::abs(notches), mostNotches); ++notch)
            backend::queueKey(notches > 0 ? keyWheelUp : keyWheelDown, 0);
    }

    void raise()
    {
        if (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED)
            SDL_RestoreWindow(window);
        SDL_RaiseWindow(window);
    }

    bool handleUpkeep(const SDL_Event& event)
    {
        if (isOurWindowDestroyed(event)) {
            windowGone = true;
            return true;
        }
        if (event.type == SDL_SYSWMEVENT) {
            input.note(event);
            pixels.note(event);
            return true;
        }
        if (event.type == raiseEventType()) {
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
            if (shown && !pixels.showFresh(frame.data()))
                pixels.showAgain();
            return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            keepMinimumSize();
            if (shown)
                pixels.showFresh(frame.data());
            return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            input.focusGained();
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
                press(event.button.x, event.button.y);
            break;
        case SDL_FINGERDOWN: {
            int width = 0;
            int height = 0;
            SDL_GetWindowSize(window, &width, &height);
            press(static_cast<int>(event.tfinger.x * static_cast<float>(width)),
                  static_cast<int>(event.tfinger.y * static_cast<float>(height)));
            break;
        }
        case SDL_MOUSEWHEEL:
            turnWheel(event.wheel);
            break;
        case SDL_KEYDOWN:
            input.keyPressed(event.key);
            break;
        case SDL_KEYUP:
            input.keyReleased(event.key);
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
        Uint32 raiseType = raiseEventType();
        if (raiseType != 0 && SDL_PeepEvents(events, 16, SDL_GETEVENT, raiseType, raiseType) > 0)
            raise();
    }

    SDL_Window* window;
    int paceMilliseconds;                      // real time of one pause unit, the player's --pace
    std::vector<std::uint8_t> frame;           // the palette indices on show
    WindowPixels pixels;                       // where they are drawn
    std::array<Span, screenHeight> changed{};  // of each row, what the frame being shown changed
    InputTranslator input;
    CuePlayer cues;
    SideText sideText;             // what the panel shows
    core::PixelBuffer panelImage;  // the same drawn, as palette indices
    bool shown = false;
    const bool exitAfterFirstFrame = SDL_getenv("ZARTA_EXIT_AFTER_FIRST_FRAME") != nullptr &&
                                     SDL_strcmp(SDL_getenv("ZARTA_EXIT_AFTER_FIRST_FRAME"), "1") == 0;
    std::chrono::steady_clock::time_point pauseStarted{};
    std::chrono::steady_clock::time_point lastDeadline{};
};

}  // namespace

std::unique_ptr<backend::Backend> windowBackend(SDL_Window* window, int paceMilliseconds)
{
    return std::make_unique<SdlBackend>(window, paceMilliseconds);
}

bool showsSideText()
{
    return sideTextSource != nullptr;
}

void setSideTextSource(SideText (*source)())
{
    sideTextSource = source;
}

}  // namespace platform::sdl
