// What a back end gives the platform core: a way to wait for input, a place
// to show the composed device screen, the pause, the clock and the process
// exit. The core owns everything else (windows, queue, screen, modal loops),
// so every back end behaves the same above this line.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::backend {

class Backend {
public:
    virtual ~Backend() = default;

    // Blocks until input may have arrived and hands it to the core through
    // queueTap / queueKey / queueClose. False when no input will ever come.
    virtual bool waitForInput() = 0;
    // Shows a frame: screenWidth * screenHeight palette indices, row by row,
    // and the 256 colours they stand for, 0xRRGGBB (the same table on every
    // call). Both are only valid during the call; a back end that re-shows
    // the frame later keeps its own copy of the indices.
    virtual void present(const std::uint8_t* indices, const std::uint32_t* palette) = 0;
    // False for a back end that shows nothing: it is handed no frame, and the
    // screen settles what it owes only when something reads it.
    virtual bool showsFrames() const { return true; }
    // Hands the core, without waiting, whatever input has already arrived
    // (a modal box opening must know what came before it).
    virtual void collectInput() {}
    // A pause of `units` starts now, before its screen is shown: it ends
    // units x the unit length after this call, whatever showing costs.
    virtual void startPause(int /*units*/) {}
    // The pause started by startPause, after its screen has been presented;
    // must not hand input to the core.
    virtual void waitUnits(int units) = 0;
    virtual int localSeconds() = 0;
    virtual std::uint64_t gameSeed() = 0;
    // The player's own data (platform::changePlayerData); none by default.
    virtual bool changePlayerData(const char* /*name*/, const PlayerDataChange& /*change*/, std::string& problem)
    {
        problem = "this program keeps no data of its player";
        return false;
    }
    virtual std::string playerDataPlace(const char* /*name*/) { return {}; }
    virtual void exitProcess(int status) = 0;

    // Where copies of the program meet for the single-instance rule; empty
    // for none.
    virtual std::string instanceDirectory() = 0;
    // The display the window shows on, as copies compare it: a copy on
    // another display is a game of its own. Empty where there is only one.
    virtual std::string instanceDisplay() { return {}; }
    // Called on a background thread, at any time, even after this back end
    // is gone: it must only touch thread-safe, process-lived state. True
    // when a window the user can see is being brought to the front; a copy
    // without one must not let a later copy think it was raised.
    using RaiseHandler = bool (*)();
    virtual RaiseHandler raiseHandler() = 0;

    // A cue to sound now, after any still sounding (only while sound is on).
    virtual void playCue(Cue /*cue*/) {}
    // Sound turned on or off; off silences what still sounds.
    virtual void soundSwitched(bool /*on*/) {}

    // The top-level window's title and icon changed (the desktop window shows them).
    virtual void showIdentity(const char* /*title*/, int /*iconId*/) {}

    // A scripted answer for a message box, or 0 to let the box read input.
    virtual int scriptedBoxAnswer(std::string_view /*text*/, std::string_view /*caption*/, BoxButtons /*buttons*/)
    {
        return 0;
    }

    // A message box is on the screen, before it reads its answer.
    virtual void boxOpened(std::string_view /*text*/, std::string_view /*caption*/) {}
    virtual void dialogOpened(int /*templateId*/) {}

    // Trace of what the user did, for simulators.
    virtual void tapTaken(int /*controlId*/) {}
    virtual void commandChosen(int /*command*/) {}
    virtual void boxAnswered(std::string_view /*text*/, std::string_view /*caption*/, int /*result*/) {}
    virtual void inputFinished() {}
};

// Makes `backend` current and resets the core to a fresh process.
void install(std::unique_ptr<Backend> backend);

// Input from the back end, queued in arrival order.
void queueTap(int x, int y);
void queueKey(Param key, Param modifiers);
// The desktop window's close button: ahead of queued taps, as the window
// system's close request is handled before posted input; inside a modal loop
// it ends the process at once.
void queueClose();
// A menu command, as if chosen from the menu bar's pop-up; nothing without a menu bar.
void queueCommand(int command);
std::size_t queueLength();
bool quitReceived();  // getMessage has handed out the quit message
int quitCode();

// The device screen with any open box, dialog or pop-up on top: 0xRRGGBB,
// and the same pixel as drawn by the reference path (0 unless it is kept).
std::uint32_t pixel(int x, int y);
std::uint32_t referencePixel(int x, int y);

// The next present shows the screen even if nothing changed since the last
// (a back end that starts showing frames mid-run).
void presentAgain();

// Draw nothing: every drawing call still runs its checks and bookkeeping but
// moves no pixel and shows no frame, for runs whose checks never look.
void skipPixels(bool skip);
// Keep the reference path's plain pixels beside the indexed ones (see
// referencePixel); process-wide, taking effect at the next install().
void keepReferencePixels(bool keep);

// The whole core (windows, queue, screen, surfaces, generator) as it is now,
// without its back end, to start many runs from one point.
class CoreSnapshot;
struct CoreSnapshotDeleter {
    void operator()(CoreSnapshot* snapshot) const;
};
using CoreSnapshotPointer = std::unique_ptr<CoreSnapshot, CoreSnapshotDeleter>;
CoreSnapshotPointer saveCore();
void restoreCore(const CoreSnapshot& snapshot);
// The modal state and geometry tests and simulators need.
bool boxOpen();
bool dialogOpen();
bool popupOpen();
Rect menuButtonRect();
bool menuItemPoint(int command, int& x, int& y);
bool boxButtonPoint(int answer, int& x, int& y);
// The open box's button for `answer` (Yes or OK, or No); empty when there is none.
Rect boxButtonRect(int answer);
Rect boxRect();
// The open box for a screen reader: its caption, its text and the keys that
// answer it; empty with none.
std::string boxInWords();
// Every control a person can see and tap, with its screen area, in creation order.
struct ShownControl {
    int id;
    Rect rect;
};
std::vector<ShownControl> shownControls();

}  // namespace platform::backend
