// The platform layer: a small window system of the game's own. It owns a
// 240 x 320 retained device screen with a title bar at the top and a menu
// bar at the bottom, top-level windows with message procedures, owner-drawn
// push buttons, a message queue, modal boxes and dialogs, drawing surfaces,
// the local time and the random generator. One core serves three back ends
// (a real SDL window, a browser page's canvas and an in-memory headless
// screen); the code above this interface cannot tell which one is running.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

using Handle = std::int32_t;  // windows, controls, menu bars, surfaces; 0 = none
using Param = std::intptr_t;

constexpr int screenWidth = 240;
constexpr int screenHeight = 320;
constexpr int titleBarHeight = 26;
constexpr int menuBarHeight = 26;

struct Rect {
    int left;
    int top;
    int right;
    int bottom;

    friend bool operator==(const Rect&, const Rect&) = default;
};

enum class Msg : std::uint32_t {
    none,
    create,           // sent inside createWindow, before it returns
    destroy,          // sent by destroyWindow
    eraseBackground,  // wparam: surface handle, or 0 for the whole window at once; answer 1 when erased
    drawItem,         // wparam: id of the owner-drawn control to draw
    command,          // wparam: id in the low 16 bits, notification code in the high 16 bits
    activate,         // wparam: 0 inactive / 1 active; lparam: the other window
    close,            // default processing destroys the window
    initDialog,       // dialog procedures only
    keyDown,          // wparam: a key code below or an upper-case ASCII letter; lparam: modifiers
    tap,              // raw tap; wparam x, lparam y in screen pixels; hit-tested on dispatch
    quit,             // wparam: the exit code
};

constexpr Param keyTab = 9;
constexpr Param keyEnter = 13;
constexpr Param keyEscape = 27;
constexpr Param keySpace = 32;
constexpr Param keyPageUp = 33;
constexpr Param keyPageDown = 34;
constexpr Param keyEnd = 35;
constexpr Param keyHome = 36;
constexpr Param keyArrowLeft = 37;
constexpr Param keyArrowUp = 38;  // also moves through an open pop-up menu
constexpr Param keyArrowRight = 39;
constexpr Param keyArrowDown = 40;
// Function keys lie above 127 so no letter test or accelerator can mistake them for a letter.
constexpr Param keyF1 = 0x170;
constexpr Param keyF2 = 0x171;
constexpr Param keyF3 = 0x172;
// A notch of the mouse wheel over text beside the screen, delivered as a key.
constexpr Param keyWheelUp = 0x180;
constexpr Param keyWheelDown = 0x181;
constexpr Param modifierControl = 1;
constexpr Param modifierShift = 2;

struct Message {
    Handle window;
    Msg msg;
    Param wparam;
    Param lparam;
};

using WindowProc = Param (*)(Handle window, Msg msg, Param wparam, Param lparam);
using DialogProc = Param (*)(Handle dialog, Msg msg, Param wparam, Param lparam);

constexpr Param makeCommandParam(int id, int notification = 0)
{
    return static_cast<Param>((static_cast<std::uint32_t>(notification) << 16) |
                              (static_cast<std::uint32_t>(id) & 0xFFFFu));
}
constexpr int lowWord(Param p)
{
    return static_cast<int>(static_cast<std::uint32_t>(p) & 0xFFFFu);
}

// ---- Resources (compiled into the binary) -------------------------------

struct Image {
    int width;
    int height;
    const std::uint8_t* pixels;  // width * height palette indices, row by row
};

// Copies string `id` into `buffer` (at most size - 1 characters and a NUL); returns its length, 0 if unknown.
int loadString(int id, char* buffer, int size);
// The image with this id, or nullptr. Images are program data, never freed.
const Image* loadImage(int id);
std::uint32_t paletteColor(std::uint8_t index);  // 0xRRGGBB

// ---- Windows and controls ----------------------------------------------

constexpr std::uint32_t styleVisible = 1u << 0;
constexpr std::uint32_t styleChild = 1u << 1;
constexpr std::uint32_t styleOwnerDraw = 1u << 2;
constexpr int useDefault = -0x8000;  // createWindow: let the platform choose position and size

struct WindowClass {
    const char* className;
    WindowProc procedure;
    int iconId;
};

// Single-instance rule across the processes of this user on this display:
// looks for a running copy whose board window has exactly this class name and
// title. When there is one, asks it to bring its window (and any open box) to
// the front and returns true; when it does not answer, says so with its
// process id, ends this process with status 1 and returns true. Otherwise the
// calling process becomes the copy that later ones find, and false is
// returned.
bool bringRunningInstanceToFront(const char* className, const char* title);

bool registerClass(const WindowClass& windowClass);
// Top-level window (parent 0) or child control (class "BUTTON", styleChild).
Handle createWindow(const char* className, const char* text, std::uint32_t style, int x, int y, int width, int height,
                    Handle parent, int id);
bool destroyWindow(Handle window);
bool showWindow(Handle window, bool visible);
bool isWindowVisible(Handle window);
bool moveWindow(Handle window, int x, int y, int width, int height, bool repaint);
Rect getWindowRect(Handle window);  // screen coordinates
// Paint the window now if any part of it needs painting.
bool updateWindow(Handle window);

// ---- Messages ------------------------------------------------------------

Param sendMessage(Handle window, Msg msg, Param wparam, Param lparam);
bool postMessage(Handle window, Msg msg, Param wparam, Param lparam);
void postQuitMessage(int code);
// Waits for the next message (repainting invalidated areas and showing the
// screen first when the queue is empty). Returns false for the quit message,
// or when a headless run has no more input.
bool getMessage(Message& message);
Param dispatchMessage(const Message& message);
Param defWindowProc(Handle window, Msg msg, Param wparam, Param lparam);

Handle loadAccelerators(int id);
// Turns an accelerator key into a command sent to `window`; true when it did.
bool translateAccelerator(Handle window, Handle accelerators, const Message& message);

// ---- Menu bar ------------------------------------------------------------

// Creates the bottom menu bar from a menu-bar resource for `owner`; 0 on failure.
Handle createMenuBar(Handle owner, int menuBarId);
bool destroyMenuBar(Handle menuBar);

// ---- Modal boxes and dialogs ---------------------------------------------

enum class BoxButtons { ok, yesNo };
constexpr int answerOk = 1;
constexpr int answerCancel = 2;  // an OK box closed with Escape
constexpr int answerYes = 6;
constexpr int answerNo = 7;

// Runs modally; no board input is taken until it is answered.
int messageBox(Handle owner, const char* text, const char* caption, BoxButtons buttons);
// A letter that asks for help in a Yes/No box: `help` returns the answer it
// suggests (answerYes or answerNo), whose button the box then frames as the
// one Enter gives. A null `help` takes the letter back.
void setBoxHelpKey(char letter, int (*help)());
// Runs dialog template `templateId` modally; returns the value given to endDialog.
Param dialogBox(int templateId, Handle owner, DialogProc procedure);
bool endDialog(Handle dialog, Param result);

// ---- Drawing -------------------------------------------------------------

// A drawing surface: a window's or control's client area, or an off-screen bitmap.
Handle getDrawingSurface(Handle window);
Handle createCompatibleSurface(Handle surface);
// Selects an image into an off-screen surface (its size becomes the image's).
bool selectImage(Handle surface, const Image* image);
// Plain copy of width x height pixels, no scaling, clipped to the destination.
bool blockCopy(Handle destination, int x, int y, int width, int height, Handle source, int sourceX, int sourceY);
// The same copy straight from an image onto a window's client area, as from
// an off-screen surface holding it, in one call and without surfaces.
bool drawImage(Handle window, int x, int y, int width, int height, const Image* image, int sourceX, int sourceY);
bool releaseSurface(Handle surface);

// ---- Time, randomness, pacing, process -----------------------------------

int localSeconds();  // 0..59
// A fresh 64-bit seed from the system's random source, one a game of the shuffled deal.
std::uint64_t gameSeed();
// std::minstd_rand: the C++ standard fixes its sequence, so one seed gives one
// sequence on every compiler and machine.
void seedRandom(std::uint32_t seed);
std::uint32_t nextRandom();  // the generator's next output, non-negative
// ---- Sound -----------------------------------------------------------------

// Short sounds that mark what the player sees happen, made by the platform
// itself (platform/CueSound.h).
enum class Cue : std::uint8_t {
    cardLaid,     // an exchange: cards changed places with the table
    lifeLost,     // one for each life a round takes
    stop,         // a Stop bubble
    pass,         // a Pass bubble
    yourTurn,     // the human's turn begins: Stop or Pass is offered
    roundResult,  // the round's scores shown
    gameWon,
    gameLost,
};
constexpr int cueCount = 8;
// Sounds `cue` from now, after whatever cue is still sounding; nothing while
// sound is off. Called as what it marks is drawn, so it sounds as the next
// frame shows that.
void playCue(Cue cue);
// On as each process starts; off, cues make no sound (the player's M, --mute).
void setSoundOn(bool on);
bool soundOn();

// ---- The player's own data ------------------------------------------------

// Data that belongs to the player, not to the game (the record of play),
// kept where the system keeps such things: on the desktop a file NAME in
// $XDG_DATA_HOME/zarta/ (~/.local/share/zarta/), in the page the browser's
// storage. `change` is handed what is stored (null when nothing is) and
// returns what to store (empty: leave it as it is); read, change and write are one step that another
// copy of the program cannot split, and a write lands whole or not at all.
// False, with the reason in `problem`, when it could not be read or written:
// the game goes on without it.
using PlayerDataChange = std::function<std::string(const std::string* stored)>;
bool changePlayerData(const char* name, const PlayerDataChange& change, std::string& problem);
// Where NAME is kept, as a player would look for it ("~/.local/share/zarta/record").
std::string playerDataPlace(const char* name);

// Shows the screen, then waits n units without handling any message. How long
// a unit lasts on the desktop is the player's pace (--pace, 40 ms by default).
void waitUnits(int units);
constexpr int unitMilliseconds = 25;  // one unit; the headless clock advances by exactly this
// A unit where a person watches (the desktop window, the browser page) unless
// the player chooses another: a computer move then shows for 0.4 s.
constexpr int watchedUnitMilliseconds = 40;
// Ends the process with `status`. On the headless back end the status is
// recorded and the core then delivers no further message, so nothing of the
// program runs after it either.
void exitProcess(int status);
// Runs once, just before exitProcess ends the process, however the end is
// reached: Exit, the window closed while a box waits, the end of the program.
void setLeavingHandler(void (*handler)());

}  // namespace platform
