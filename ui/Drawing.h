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

constexpr int indicatorStop = 0;
constexpr int indicatorPass = 1;

int drawImageOnControl(platform::Handle control, int imageId);
int drawImageAt(int x, int y, platform::Handle window, int imageId);
int drawCardControl(int controlId);
int redrawAllCards();
int pause(int units);
void requestRepaint(platform::Handle boardWindow);
int flashIndicator(int kind, Seat seat, platform::Handle boardWindow);
// A ring just outside the rectangle (board coordinates), so it never covers what lies inside.
int drawFocusFrame(int x, int y, int width, int height, platform::Handle boardWindow);
