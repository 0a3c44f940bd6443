// The headless back end: the same core with the screen in memory, for tests
// and tools. Input is injected, message boxes are answered by a script,
// pauses take no wall time but their units are counted, and the clock is
// virtual.
#pragma once

#include "platform/Backend.h"
#include "platform/Platform.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::headless {

// Makes the headless back end current and resets the whole core (windows,
// queue, screen, pause total, clock) to a fresh process.
void install();

// Input, queued in order and taken by getMessage like real input.
void pushTap(int x, int y);                             // screen pixels
void pushKey(Param key, bool control = false);          // a key code of Platform.h or an upper-case ASCII letter
void pushKeyWithModifiers(Param key, Param modifiers);  // with modifierControl and modifierShift as given
void pushClose();                                       // the desktop window's close button

// Answers a message box; return answerYes, answerNo or answerOk. Without an
// answerer, boxes read queued key and tap input, and with none left take
// their default button (Yes or OK).
using BoxAnswerer = std::function<int(std::string_view text, std::string_view caption, BoxButtons buttons)>;
void setBoxAnswerer(BoxAnswerer answerer);
// Called when getMessage finds the queue empty, after repainting, and when
// an open pop-up, box or dialog finds none of its own input; it may push
// input. When it pushes nothing (or there is none), getMessage returns false
// and the modal loop takes its default (closes the pop-up, presses Yes or OK).
using IdleHandler = std::function<void()>;
void setIdleHandler(IdleHandler handler);

// Virtual clock in milliseconds; local seconds are derived from it unless pinned.
void setClockMilliseconds(std::int64_t milliseconds);
std::int64_t clockMilliseconds();
void pinSeconds(int seconds);  // -1 unpins
// The player's data is kept in memory, by name, unless a file is named for
// it (false in builds without files: the node simulator's).
bool keepPlayerDataIn(const std::string& name, const std::string& path);
// What is kept in memory under `name`; null for nothing. Tests may change it.
std::string* playerData(const std::string& name);
// Where each game of the shuffled deal takes its seed; none: a fixed sequence.
void setGameSeeds(std::function<std::uint64_t()> source);

std::int64_t pauseUnits();  // total since install()
// Called at every waitUnits with its length, after the screen is shown (tests watch animations with it).
void setPauseObserver(std::function<void(int units)> observer);
int boxCount();  // message boxes shown since install()
std::string lastBoxText();
bool exited();  // exitProcess was called
int exitStatus();

// The frames the program presents: what a player is shown, one frame each
// time the screen is shown changed (at a pause, before waiting for input, as
// a box opens). Off until recordFrames; while off, the screen is only settled
// when read, which costs less.
struct Frame {
    std::int64_t sequence = 0;    // 0 for the first frame since install()
    std::int64_t pauseTotal = 0;  // pauseUnits() when it was shown
    int pause = 0;                // the units of the pause it was shown for; 0 when the program waits
    bool modal = false;           // a box, dialog or pop-up is open on it
    std::vector<std::uint8_t> indices;  // screenWidth * screenHeight palette indices, row by row

    std::uint32_t pixel(int x, int y) const;  // 0xRRGGBB; 0 off the screen
};
// Presents frames from now until the next install() and keeps the last `keep`
// (at least one) for frames() and lastFrame().
void recordFrames(std::size_t keep);
const std::deque<Frame>& frames();
const Frame* lastFrame();        // null before the first
std::int64_t framesPresented();  // since install()
// Called with every frame as it is presented.
void setFrameObserver(std::function<void(const Frame& frame)> observer);

// The cues sounded since install(), oldest first: the back end is silent
// but keeps the last `cuesKept` of them, each with the frame it sounds with
// (the next one presented; framesPresented() as it sounded) and the pause
// total then.
struct SoundedCue {
    Cue cue = Cue::cardLaid;
    std::int64_t frame = 0;
    std::int64_t pauseTotal = 0;
};
constexpr std::size_t cuesKept = 4096;
const std::deque<SoundedCue>& cues();
std::int64_t cuesSounded();  // since install(), those no longer kept included

// What a person sees and may tap, the screen, and how the message loop
// ended: the core's own calls (platform/Backend.h).
using backend::boxButtonPoint;  // where to tap Yes, No or OK of the open box
using backend::boxOpen;         // a message box is open
using backend::boxRect;         // the open box, screen pixels; empty with none
using backend::dialogOpen;
using backend::menuButtonRect;  // the menu bar's "Game" button, screen pixels; empty without a bar
using backend::menuItemPoint;   // where to tap the item of an open pop-up
using backend::pixel;           // 0xRRGGBB of the device screen, boxes on top
using backend::popupOpen;       // the menu bar's pop-up is open
using backend::quitCode;
using backend::quitReceived;  // the message loop saw the quit message

int dialogCount();  // dialogs run since install()

// Runs whose checks never read the screen: every drawing call still runs,
// but no pixel moves and no frame is shown. Until the next install().
using backend::skipPixels;
// Checks of the indexed screen: from the next install() on, the platform
// also draws every pixel the plain way, as 0xRRGGBB resolved when drawn,
// and referencePixel reads that copy (0 while it is not kept).
using backend::keepReferencePixels;
using backend::referencePixel;

// The whole platform as it is now (windows, queue, screen, clock, pause
// total, answerer, observers), to start many runs from one point. The game's
// own globals are the caller's to save.
class Snapshot;
std::shared_ptr<const Snapshot> saveSnapshot();
void restoreSnapshot(const Snapshot& snapshot);

// Trace of the input a run takes, for simulators.
struct Observer {
    // A board tap taken from the queue outside any modal loop: the id of the control hit, 0 when none.
    std::function<void(int controlId)> tapTaken;
    // A menu choice, an accelerator or the close button delivered to a window.
    std::function<void(int command)> commandChosen;
    std::function<void(std::string_view text, std::string_view caption, int result)> boxAnswered;
    // The processing of a tap or command (at top level, not inside a modal loop) has returned.
    std::function<void()> inputFinished;
};
void setObserver(Observer observer);

// The single-instance rule has no rendezvous by default, so tests in one
// process stay independent. With a directory it works as in the real
// program: the first process to claim it keeps it until it ends, and raise
// requests from later ones are counted. `display` stands for the display the
// window would show on.
void useInstanceDirectory(const std::string& directory, const std::string& display = {});
int raiseRequests();  // thread-safe; counts since install()

}  // namespace platform::headless
