// The platform core's own state and the helpers its parts share: the window
// registry (Registry.cpp), repainting (Repaint.cpp), the message queue and the
// modal scope (Queue.cpp), resources, time and randomness (Services.cpp),
// windows and controls (Windows.cpp), pixel primitives (Pixels.cpp), the
// backing tracker (Backing.cpp), surfaces and block copies (Surfaces.cpp), the
// device screen and its overlays (Screen.cpp), the menu bar and its pop-up
// (MenuBar.cpp), message boxes (MessageBox.cpp) and dialogs (Dialog.cpp).
// Nothing above the platform includes it.
#pragma once

#include "platform/Backend.h"
#include "platform/Platform.h"
#include "resources/Resources.h"

#include <array>
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

// Inline: every picture drawn goes through several of them.
inline bool isEmpty(const Rect& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}
inline Rect intersect(const Rect& a, const Rect& b)
{
    Rect r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top, a.right < b.right ? a.right : b.right,
           a.bottom < b.bottom ? a.bottom : b.bottom};
    return isEmpty(r) ? Rect{} : r;
}
Rect unite(const Rect& a, const Rect& b);  // bounding box; an empty side is ignored
inline bool contains(const Rect& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}
inline Rect offset(const Rect& r, int dx, int dy)
{
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// ---- Input ----------------------------------------------------------------

bool isKey(const Message& message, Param key);      // a key without Ctrl
bool isLetter(const Message& message, char upper);  // a letter key without Ctrl, either case
bool isTapIn(const Message& message, const Rect& area);

// ---- Pixels ---------------------------------------------------------------

// Every surface holds 8-bit palette indices, as the pictures do: block copies
// move bytes, and colours are looked up once per shown frame in the back end.
// Indices below firstPlatformColour are the pictures' palette; the platform's
// own few colours sit above it.
constexpr int firstPlatformColour = 249;

// The screen's 256 colours, 0xRRGGBB, by index; the same table for the whole run.
const std::uint32_t* screenPalette();

// A colour the platform draws with: its index, and the 0xRRGGBB it must show as
// (the reference path draws with the latter).
struct Colour {
    std::uint8_t index;
    std::uint32_t rgb;
};

namespace colour {
constexpr Colour desktop{249, 0x303030};
constexpr Colour bar{250, 0x1C3C78};  // title bar, captions, highlighted items
constexpr Colour barText{251, 0xFFFFFF};
constexpr Colour panel{252, 0xE4E4E4};  // menu bar, buttons
constexpr Colour panelEdge{253, 0x808080};
constexpr Colour window{254, 0xFFFFFF};  // box and dialog bodies, the pop-up
constexpr Colour text{255, 0x000000};
constexpr Colour all[] = {desktop, bar, barText, panel, panelEdge, window, text};
}  // namespace colour

// Checks of the indexed drawing keep a second copy of every buffer as plain
// 0xRRGGBB pixels, drawn pixel by pixel with colours resolved as they are
// drawn. Process-wide, read when a buffer is sized; off by default.
void keepReferencePixels(bool keep);
extern bool referencePixelsKept;
inline bool keepsReferencePixels()
{
    return referencePixelsKept;
}

struct PixelBuffer {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;      // palette indices, row by row
    std::vector<std::uint32_t> reference;  // 0xRRGGBB, row by row; empty unless reference pixels are kept

    void resize(int w, int h, Colour colour);
    Rect bounds() const { return {0, 0, width, height}; }
};

void fillRect(PixelBuffer& target, Rect r, Colour colour);
void frameRect(PixelBuffer& target, Rect r, Colour colour);
// Text in the pixel font with its top-left corner at (x, y); bold draws it twice, one pixel apart.
void drawText(PixelBuffer& target, int x, int y, std::string_view text, Colour colour, bool bold = false);
// The one place a picture is drawn into the platform's own buffers (the About
// dialog's icon); a transparent index would be honoured here.
void drawBitmap(PixelBuffer& target, int x, int y, const resources::Bitmap& bitmap);

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

// Where a picture's pixels come from: rows of `stride`, (x, y) the pixel
// that lands at a screen area's top-left. Pictures are program data, never
// changed or freed, so equal pointers mean equal pixels.
struct PictureSpot {
    const std::uint8_t* pixels = nullptr;
    int stride = 0;
    int x = 0;
    int y = 0;

    friend bool operator==(const PictureSpot&, const PictureSpot&) = default;
};

// An area of the screen drawn over since the backing was copied.
struct ScreenPatch {
    Rect area{};
    PictureSpot shows{};  // the one picture the area shows exactly, if any
};

// The board repaints its background picture whole many times a round, then
// draws mostly the same cards over it again. The background last copied is
// the backing; copying it again only marks the patches drawn over it as owing
// it, and a patch is restored only if it is not drawn over again with the
// same picture before the screen is read or shown.
struct ScreenBacking {
    PictureSpot picture{};
    Rect area{};
    std::array<ScreenPatch, 40> patches{};
    int patchCount = 0;
    // The screen in tiles of 32 x 32 pixels, 8 across and 10 down: bit i of
    // a tile is set when patch i may lie on it, so a write looks only at the
    // patches near it.
    static constexpr int tileShift = 5;
    static constexpr int tileColumns = 8;
    static constexpr int tileRows = 10;
    std::array<std::uint64_t, tileColumns * tileRows> tiles{};
    // Bit i set when patch i shows no one picture. Two patches that overlap
    // never both show one (a write blanks or removes every patch it touches),
    // so a patch showing a picture is overlapped by blank patches only.
    std::uint64_t blank = 0;
    // Bit i set when patch i owes the backing: the backing was copied again
    // since, and the area is to show it once settled.
    std::uint64_t owing = 0;
};

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

// Marks an area of the screen to be repainted by the top-level windows under it.
void invalidateScreen(Rect area);
// Erase background and draw item for what is invalid in one top-level window.
void repaintWindow(Handle topLevel);
// Erase background and draw item for everything invalidated, as before any wait for input.
void repaintInvalid();
// Draw items for the controls shown or moved since their last drawing; true when any was drawn.
bool drawPendingControls();
// The erase background the program sends a top-level window itself, with no
// surface: a paint of the whole window, its visible controls kept above it.
Param repaintAtOnce(Handle topLevel);

// ---- Moving pixels (Pixels.cpp, Backing.cpp) -------------------------------

// Copies `height` rows of `width` from (fromX, fromY) to (toX, toY); the two
// may be one buffer.
void moveRows(std::uint8_t* to, int toStride, int toX, int toY, const std::uint8_t* from, int fromStride, int fromX,
              int fromY, int width, int height);
// The reference path's block copy, pixel by pixel.
void referenceCopy(std::uint32_t* to, int toStride, int toX, int toY, const std::uint32_t* from, int fromStride,
                   int fromX, int fromY, int width, int height);
// Copies `source` with its top-left corner at (x, y), only inside `clip`.
void copyBuffer(PixelBuffer& target, int x, int y, const PixelBuffer& source, Rect clip);
// Bookkeeping before `area` of the screen (already clipped) is written;
// `picture` is set when one picture is copied over all of it. False when the
// screen will show exactly that without any pixel moving.
bool prepareScreenWrite(const Rect& area, const PictureSpot* picture);
// A write of the platform's own (fills, text, icons, plain buttons).
void noteWrite(const PixelBuffer& target, Rect area);

// ---- Screen (Screen.cpp) ---------------------------------------------------

void resetScreen();
void drawTitleBar();
void paintPlainButton(const WindowRecord& control);  // a button the program does not draw itself
void fillDesktop(Rect area);                         // where no window is; the bars are redrawn over it
PixelBuffer& pushOverlay(Rect rect);                 // the new overlay's image, to be drawn into
Overlay& topOverlay();
void popOverlay();  // uncovers the retained screen; nothing is repainted
// Restores what owes the backing; before anything reads or shows the screen.
void settleScreen();
inline void markScreenChanged()
{
    state().screenChanged = true;
}
// The settled screen with the open overlays on top, as present() hands it
// over; also for reading it where no frame is shown (the headless back end).
const PixelBuffer& composeScreen();
void present();  // shows the composed screen when anything changed

// ---- Boxes and dialogs (MessageBox.cpp, Dialog.cpp) --------------------------

constexpr int captionHeight = 18;
// A box's or dialog's body with its frame and its caption bar.
void drawFrameWithCaption(PixelBuffer& image, int width, int height, std::string_view caption);

// ---- Menu bar (MenuBar.cpp) ---------------------------------------------------

void drawMenuBar();
// A tap on the menu bar: true when it was the bar's (the "Game" button opens its pop-up).
bool handleMenuBarTap(int x, int y);
const MenuBarRecord* currentMenuBar();
Rect menuButtonRect(const MenuBarRecord& menuBar, int index);
void destroyMenuBarsOf(Handle owner);

// ---- The queue ---------------------------------------------------------------

// One open box, dialog or pop-up. The board is disabled meanwhile, as an
// owner window is under a modal box: input that arrives while the scope is
// open and is not the modal's own is dropped. Input queued before it opened
// was made while the program was busy and still reaches the board afterwards.
class ModalScope {
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    std::uint64_t firstInput() const { return first; }

private:
    std::uint64_t first = 0;
};

using InputFilter = bool (*)(const Message& message, void* context);
// Takes the first queued message the filter accepts, leaving posted messages
// and earlier input in order and dropping the scope's other input. The close
// button ends the process at once. Waits for input when there is none,
// repainting and presenting first. False when no more input will come (the
// headless back end ran dry) or the process has exited.
bool takeModalInput(const ModalScope& scope, InputFilter accepts, void* context, Message& message);
// Repaints, shows the screen and waits for input; false when none will come.
bool repaintShowAndWait();

}  // namespace platform::core
