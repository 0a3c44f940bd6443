// Runs the real program on the headless back end for a test: start-up, then
// scripted taps, keys, menu choices and box answers, reading the game record,
// the screen's pixels and the pause total.
#pragma once

#include "model/GameState.h"
#include "platform/Headless.h"
#include "platform/Platform.h"

#include <deque>
#include <string>
#include <vector>

namespace testing_support {

struct BoxRecord {
    std::string text;
    std::string caption;
    int answer;
};

// True when `frame` shows image `imageId` pixel for pixel with its top-left
// corner at screen (x, y), leaving out the screen areas in `except`.
bool frameShowsImage(const platform::headless::Frame& frame, int x, int y, int imageId,
                     const std::vector<platform::Rect>& except = {});

class Harness {
public:
    static constexpr std::size_t framesKept = 64;  // the latest presented frames, for frames()

    // A fresh process: headless back end installed, shuffle seconds pinned,
    // game record zeroed, start-up run and the message loop run until idle.
    explicit Harness(int pinnedSeconds = 0);
    ~Harness();

    // Input; each runs the message loop until it waits for input again.
    void tapScreen(int x, int y);
    void tapBoard(int x, int y);     // board (client) coordinates
    void tapControl(int controlId);  // the centre of the control's rectangle
    void command(int commandId);     // posted to the board window as a menu choice would be
    void chooseMenu(int commandId);  // taps "Game" on the menu bar, then the item
    void key(platform::Param key, bool control = false);
    void closeButton();  // the desktop window's close button
    void runUntilIdle();
    // Shows what is drawn, as the program's next pause would; for checks of
    // drawing calls made outside the program's own sequences.
    void presentNow();

    // Box answers, used in order; when none is left a box takes its default (Yes / OK).
    void queueAnswers(std::vector<int> answers);
    const std::vector<BoxRecord>& boxes() const { return boxLog; }

    void pinSeconds(int seconds);

    // The screen as the player sees it: the last frame presented.
    std::uint32_t screenPixel(int x, int y) const;
    std::uint32_t boardPixel(int x, int y) const;  // board (client) coordinates
    // True when the board rectangle shows image `imageId` pixel for pixel at (x, y).
    bool boardShowsImage(int x, int y, int imageId) const;
    // The whole device screen as shown, row by row.
    std::vector<std::uint32_t> screenShot() const;
    // How many pixels of the screen differ from `before` outside `except` (screen pixels).
    int pixelsChangedOutside(const std::vector<std::uint32_t>& before, platform::Rect except) const;
    std::int64_t pauseUnits() const;
    platform::Handle boardWindow() const;
    platform::Rect controlRect(int controlId) const;  // screen coordinates; all zero when it does not exist
    bool controlVisible(int controlId) const;

    GameState& state() const { return game; }

    bool exited() const;
    int exitStatus() const;
    bool quit() const;
    int startUpResult() const { return startResult; }

private:
    std::deque<int> answers;
    std::vector<BoxRecord> boxLog;
    int startResult = 0;
};

}  // namespace testing_support
