// The headless back end: the same core with the screen in memory, for tests
// and tools. Input is injected, message boxes are answered by a script,
// pauses take no wall time but their units are counted, and the clock is
// virtual.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <functional>
#include <string>

namespace platform::headless {

// Makes the headless back end current and resets the whole core (windows,
// queue, screen, pause total, clock) to a fresh process.
void install();

// Input, queued in order and taken by getMessage like real input.
void pushTap(int x, int y);                 // screen pixels
void pushKey(Param key, bool control = false);  // keyEnter, keyEscape or an ASCII letter
void pushClose();                           // the desktop window's close button

// Answers a message box; return answerYes, answerNo or answerOk. Without an
// answerer, boxes read queued key and tap input, and with none left take
// their default button (Yes or OK).
using BoxAnswerer = std::function<int(const std::string& text, const std::string& caption, BoxButtons buttons)>;
void setBoxAnswerer(BoxAnswerer answerer);
// Called when getMessage finds the queue empty; it may push input. When it
// pushes nothing (or there is none), getMessage returns false.
using IdleHandler = std::function<void()>;
void setIdleHandler(IdleHandler handler);

// Virtual clock in milliseconds; local seconds are derived from it unless pinned.
void setClockMilliseconds(std::int64_t milliseconds);
std::int64_t clockMilliseconds();
void pinSeconds(int seconds);  // -1 unpins
constexpr int unitMilliseconds = 25;  // each pause unit advances the virtual clock by this much

std::int64_t pauseUnits();  // total since install()
// Called at every waitUnits with its length, after the screen is shown (tests watch animations with it).
void setPauseObserver(std::function<void(int units)> observer);
std::uint32_t pixel(int x, int y);  // 0xRRGGBB of the device screen
int boxCount();                     // message boxes shown since install()
std::string lastBoxText();
bool exited();                      // exitProcess was called
int exitStatus();
bool quitReceived();                // the message loop saw the quit message
int quitCode();

}  // namespace platform::headless
