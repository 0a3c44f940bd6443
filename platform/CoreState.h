// The platform core's state: the records of windows, surfaces, menu bars,
// overlays and queued messages, CoreData that holds them all, the state
// made on first use, and finding a window and where it lies (Registry.cpp).
// Core.h includes it with the rest of what the core's files share.
#pragma once

#include "platform/Backend.h"
#include "platform/CorePixels.h"
#include "platform/Platform.h"
#include "resources/Resources.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace platform::core {

// ---- Windows --------------------------------------------------------------

enum class WindowKind { topLevel, control, dialog };

struct WindowRecord {
    Handle handle = 0;
    WindowKind kind = WindowKind::topLevel;
    std::string className;
    std::string text;
    std::uint32_t style = 0;
    WindowProc procedure = nullptr;  // top level and dialog; controls have none
    Handle parent = 0;               // a control's top-level window, a dialog's owner
    int id = 0;
    int iconId = 0;
    Rect rect{};  // top level: screen; control: parent's client coordinates
    bool visible = false;
    Rect invalid{};          // top level: screen area waiting to be repainted
    bool needsDraw = false;  // control: shown or moved, waiting for its draw item
    // Control: CoreData::paintSerial when it was last drawn on, so the paint
    // of its parent that began after it knows it was painted over.
    mutable std::uint64_t drawnAt = 0;
    bool destroying = false;
    bool dialogEnded = false;
    Param dialogResult = 0;
    // Where the window lies on the screen and where drawing on it may land,
    // as of CoreData::geometry `placedAt`; see screenRectOf and drawableRect.
    mutable std::uint64_t placedAt = 0;
    mutable Rect screenRect{};
    mutable Rect drawable{};
};

struct RegisteredClass {
    WindowProc procedure;
    int iconId;
};

// Off-screen surfaces point at the selected picture's own pixels, so drawing a
// picture copies nothing but the rows it lands on. Only a surface that is
// drawn into gets contents of its own, kept apart so a record stays small.
struct SurfaceRecord {
    Handle handle = 0;                      // 0 marks a released record
    Handle window = 0;                      // 0 for an off-screen surface
    const std::uint8_t* picture = nullptr;  // off-screen: the selected picture, width * height indices
    int width = 0;
    int height = 0;
    bool hasContents = false;  // off-screen: drawn into; its indices are in surfaceContents
};

struct SurfaceContents {
    std::vector<std::uint8_t> indices;     // when drawn into
    std::vector<std::uint32_t> reference;  // reference pixels, when kept
};

struct MenuBarRecord {
    Handle owner = 0;
    const resources::MenuBar* bar = nullptr;
    int pressedButton = -1;  // the button whose pop-up is open
};

// Something drawn above everything else while a modal loop runs.
struct Overlay {
    Rect rect{};  // screen
    PixelBuffer image;
};

// Where a queued message came from; the trace reports input apart from
// what the program posts to itself.
enum class Origin { posted, input, menuChoice, closeButton };

struct Pending {
    Message message;
    Origin origin;
    std::uint64_t serial = 0;  // input only: arrival order, from 1
};

// ---- The state -------------------------------------------------------------

// Everything of the core but its back end; copyable, for snapshots.
struct CoreData {
    Handle nextHandle = 1;
    std::uint64_t geometry = 1;  // counts changes of any window's place, visibility or clipping
    std::uint64_t paintSerial = 0;  // counts the erase-background paints of top-level windows

    std::map<std::string, RegisteredClass> classes;
    std::map<Handle, WindowRecord> windows;
    std::vector<Handle> topLevels;                      // of windows, the top-level ones, by handle
    std::vector<Handle> zOrder;                         // creation order: later windows lie on top
    std::vector<SurfaceRecord> surfaces;                // few at once; the vector keeps its memory for the next
    std::map<Handle, SurfaceContents> surfaceContents;  // by surface handle
    std::vector<std::uint32_t> imageReference;          // an image drawn, as reference pixels, when they are kept
    std::map<Handle, MenuBarRecord> menuBars;
    std::map<Handle, int> acceleratorTables;  // handle -> resource id

    std::vector<Pending> queue;  // a handful at most; a vector keeps its memory, so queueing allocates nothing
    std::uint64_t nextInputSerial = 1;
    Pending lastTaken{};  // what getMessage handed out last, so dispatch knows its origin
    bool quitReceived = false;
    int quitCode = 0;

    PixelBuffer screen;                           // windows, title bar and menu bar
    ScreenBacking backing;                        // the background last copied onto the screen, and what lies over it
    std::vector<Overlay> overlays;                // open pop-up, boxes and dialogs, bottom first
    std::vector<PixelBuffer> spareOverlayImages;  // of closed overlays, for the next to draw into
    PixelBuffer composed;                         // the screen with the overlays on top, while any is open
    bool screenChanged = true;
    bool drawsPixels = true;  // false: every drawing call runs but moves no pixel

    int modalDepth = 0;
    bool boxOpen = false;
    Rect boxButtons[2]{};  // screen places of the open box's Yes (or OK) and No buttons
    Rect boxRect{};
    std::string boxWords;  // the open box as a screen reader tells it
    bool popupOpen = false;
    int dialogDepth = 0;
    std::minstd_rand generator;
    bool exited = false;
    void (*leaving)() = nullptr;  // run once as the process ends
    bool soundOn = true;  // false: cues make no sound
};

struct CoreState : CoreData {
    std::unique_ptr<backend::Backend> backend;
};

// The core's state, made on first use; inline, since every call of the platform starts here.
extern CoreState* currentState;
CoreState& makeState();
inline CoreState& state()
{
    return currentState ? *currentState : makeState();
}
backend::Backend& currentBackend();

// Records found lately, by handle; map nodes stay put until erased, and
// erasing, installing and restoring forget them all.
struct RememberedWindow {
    Handle handle = 0;
    WindowRecord* record = nullptr;
};
extern std::array<RememberedWindow, 64> rememberedWindows;
WindowRecord* findWindowRecord(Handle handle);  // the look-up behind findWindow
// Inline: every drawing call starts here, and most find a remembered record.
inline WindowRecord* findWindow(Handle handle)
{
    const RememberedWindow& remembered =
        rememberedWindows[static_cast<std::size_t>(static_cast<std::uint32_t>(handle)) % rememberedWindows.size()];
    if (remembered.handle == handle && remembered.record)
        return remembered.record;
    return findWindowRecord(handle);
}
// Every addition to and removal from CoreData::windows goes through these:
// findWindow remembers records, and removed records are kept for the next
// window, so the controls a round creates and destroys allocate nothing.
void addWindow(Handle handle, WindowRecord&& window);
void eraseWindow(Handle handle);
SurfaceRecord* findSurface(Handle handle);
Handle newHandle();
Handle topLevelAt(int x, int y);
Handle focusWindow();  // the topmost visible top-level window
// A window's rectangles are computed once after each change of geometry,
// not on every draw.
void placeWindow(const WindowRecord& window);
inline void geometryChanged()
{
    ++state().geometry;
}
// One window's place or visibility changed: a control's alone, or, for a
// top-level window, every control on it too.
inline void geometryChanged(WindowRecord& window)
{
    if (window.kind == WindowKind::control)
        window.placedAt = 0;
    else
        geometryChanged();
}
inline Rect screenRectOf(const WindowRecord& window)
{
    if (window.placedAt != state().geometry)
        placeWindow(window);
    return window.screenRect;
}
// Where drawing on the window lands on the screen: its client area less the
// bars, empty while it or its parent is hidden.
inline Rect drawableRect(const WindowRecord& window)
{
    if (window.placedAt != state().geometry)
        placeWindow(window);
    return window.drawable;
}

}  // namespace platform::core
