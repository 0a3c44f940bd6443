// The platform core's own state and the helpers its three parts share:
// Core.cpp (the queue, repainting, time), Windows.cpp (windows and controls),
// Screen.cpp (the device screen, surfaces, the title bar), MenuBar.cpp (the
// menu bar and its pop-up) and Modal.cpp (message boxes and dialogs).
// Nothing above the platform includes it.
#pragma once

#include "platform/Backend.h"
#include "platform/Platform.h"
#include "resources/Resources.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace platform::core {

// ---- Geometry -------------------------------------------------------------

constexpr int menuBarTop = screenHeight - menuBarHeight;

bool isEmpty(const Rect& r);
Rect intersect(const Rect& a, const Rect& b);
Rect unite(const Rect& a, const Rect& b);  // bounding box; an empty side is ignored
bool contains(const Rect& r, int x, int y);
Rect offset(const Rect& r, int dx, int dy);

// ---- Input ----------------------------------------------------------------

bool isKey(const Message& message, Param key);       // a key without Ctrl
bool isLetter(const Message& message, char upper);   // a letter key without Ctrl, either case
bool isTapIn(const Message& message, const Rect& area);

// ---- Pixels ---------------------------------------------------------------

struct PixelBuffer {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0xRRGGBB, row by row

    void resize(int w, int h, std::uint32_t colour);
    Rect bounds() const { return {0, 0, width, height}; }
};

void fillRect(PixelBuffer& target, Rect r, std::uint32_t colour);
void frameRect(PixelBuffer& target, Rect r, std::uint32_t colour);
// Text in the pixel font with its top-left corner at (x, y); bold draws it twice, one pixel apart.
void drawText(PixelBuffer& target, int x, int y, std::string_view text, std::uint32_t colour, bool bold = false);
void drawBitmap(PixelBuffer& target, int x, int y, const resources::Bitmap& bitmap);

namespace colour {
constexpr std::uint32_t desktop = 0x303030;
constexpr std::uint32_t bar = 0x1C3C78;       // title bar, captions, highlighted items
constexpr std::uint32_t barText = 0xFFFFFF;
constexpr std::uint32_t panel = 0xE4E4E4;     // menu bar, buttons
constexpr std::uint32_t panelEdge = 0x808080;
constexpr std::uint32_t window = 0xFFFFFF;    // box and dialog bodies, the pop-up
constexpr std::uint32_t text = 0x000000;
}  // namespace colour

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
    Rect rect{};                     // top level: screen; control: parent's client coordinates
    bool visible = false;
    Rect invalid{};                  // top level: screen area waiting to be repainted
    bool needsDraw = false;          // control: shown or moved, waiting for its draw item
    bool destroying = false;
    bool dialogEnded = false;
    Param dialogResult = 0;
};

struct RegisteredClass {
    WindowProc procedure;
    int iconId;
};

struct SurfaceRecord {
    Handle window = 0;  // 0 for an off-screen surface
    PixelBuffer image;  // off-screen contents
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
};

struct CoreState {
    std::unique_ptr<backend::Backend> backend;
    Handle nextHandle = 1;

    std::map<std::string, RegisteredClass> classes;
    std::map<Handle, WindowRecord> windows;
    std::vector<Handle> zOrder;  // creation order: later windows lie on top
    std::map<Handle, SurfaceRecord> surfaces;
    std::map<Handle, MenuBarRecord> menuBars;
    std::map<Handle, int> acceleratorTables;  // handle -> resource id

    std::deque<Pending> queue;
    Pending lastTaken{};  // what getMessage handed out last, so dispatch knows its origin
    bool quitTaken = false;
    int quitCode = 0;

    PixelBuffer screen;              // windows, title bar and menu bar
    std::vector<Overlay> overlays;   // open pop-up, boxes and dialogs, bottom first
    bool screenChanged = true;

    int modalDepth = 0;
    bool messageBoxOpen = false;
    Rect boxButtons[2]{};  // screen places of the open box's Yes (or OK) and No buttons
    bool popupOpen = false;
    int dialogDepth = 0;
    std::minstd_rand generator;
    bool exited = false;
};

CoreState& state();
backend::Backend& currentBackend();

WindowRecord* findWindow(Handle handle);
Handle newHandle();
Handle topLevelAt(int x, int y);
Handle focusWindow();  // the topmost visible top-level window
Rect screenRectOf(const WindowRecord& window);
// Where drawing on the window lands on the screen: its client area less the
// bars, empty while it or its parent is hidden.
Rect drawableRect(const WindowRecord& window);

// Marks an area of the screen to be repainted by the top-level windows under it.
void invalidateScreen(Rect area);
// Erase background and draw item for what is invalid in one top-level window.
void repaintWindow(Handle topLevel);
// Erase background and draw item for everything invalidated, as before any wait for input.
void repaintInvalid();
// Draw items for the controls shown or moved since their last drawing; true when any was drawn.
bool drawPendingControls();

// ---- Screen (Screen.cpp) ---------------------------------------------------

void resetScreen();
void drawTitleBar();
void paintPlainButton(const WindowRecord& control);  // a button the program does not draw itself
void fillDesktop(Rect area);  // where no window is; the bars are redrawn over it
void pushOverlay(Overlay overlay);
Overlay& topOverlay();
void popOverlay();  // invalidates the area it covered
void markScreenChanged();
void present();     // shows the composed screen when anything changed

// ---- Menu bar (MenuBar.cpp) ---------------------------------------------------

void drawMenuBar();
// A tap on the menu bar: true when it was the bar's (the "Game" button opens its pop-up).
bool handleMenuBarTap(int x, int y);
const MenuBarRecord* currentMenuBar();
Rect menuButtonRect(const MenuBarRecord& menuBar, int index);
void destroyMenuBarsOf(Handle owner);

// ---- The queue ---------------------------------------------------------------

using InputFilter = bool (*)(const Message& message, void* context);
// Takes the first queued message the filter accepts, leaving all others in
// order. Waits for input when there is none, repainting and presenting first.
// False when no more input will come (the headless back end ran dry) or
// the process has exited.
bool takeModalInput(InputFilter accepts, void* context, Message& message);
// Repaints, shows the screen and waits for input; false when none will come.
bool repaintShowAndWait();

}  // namespace platform::core
