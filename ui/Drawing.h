// Drawing images on the controls and the board, the faces of the card
// controls, pacing and the speech bubbles. Drawing happens at once.
#pragma once

#include "model/GameState.h"
#include "platform/Platform.h"

// Pause lengths in units (40 ms each by default on the desktop).
constexpr int pausePressedButton = 1;
constexpr int pauseAnimationStep = 1;
constexpr int pauseThinking = 10;
constexpr int pauseBubble = 20;
constexpr int pauseRoundResult = 50;

// The speech bubbles a seat's Stop or Pass shows.
enum class Indicator { stop = 0, pass = 1 };

void drawImageOnControl(platform::Handle control, int imageId);
void drawImageAt(int x, int y, platform::Handle window, int imageId);
void drawCardControl(int controlId);
// Stop and Pass as they look at rest or for the pause of a press.
enum class ButtonLook { normal, pressed };
void drawStopButton(ButtonLook look);
void drawPassButton(ButtonLook look);
void redrawAllCards();
void pause(int units);
void requestRepaint(platform::Handle boardWindow);
void flashIndicator(Indicator kind, Seat seat, platform::Handle boardWindow);
// A ring just outside the rectangle (board coordinates), so it never covers what lies inside.
void drawFocusFrame(int x, int y, int width, int height, platform::Handle boardWindow);
