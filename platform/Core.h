// The platform core's own state and the helpers its files share. The core
// is the window registry (Registry.cpp), repainting (Repaint.cpp), the
// message queue and the modal scope (Queue.cpp), resources, time and
// randomness (Services.cpp), windows and controls (Windows.cpp), pixel
// primitives (Pixels.cpp), the backing tracker (Backing.cpp), surfaces and
// block copies (Surfaces.cpp), the device screen and its overlays
// (Screen.cpp), the menu bar and its pop-up (MenuBar.cpp), message boxes
// (MessageBox.cpp) and dialogs (Dialog.cpp). What they share is in four
// headers, all included here:
// - CorePixels.h: rectangles, colours, pixel buffers and drawing into them,
//   block copies, and the backing tracker's record of the screen;
// - CoreState.h: the records of windows, surfaces, menu bars, overlays and
//   queued messages, the state that holds them, and finding a window;
// - CoreScreen.h: repainting, the screen with its overlays, the frame of
//   boxes and dialogs, and the menu bar;
// - CoreQueue.h: tests of input messages, and the modal scope.
// Nothing above the platform includes it.
#pragma once

#include "platform/CorePixels.h"
#include "platform/CoreQueue.h"
#include "platform/CoreScreen.h"
#include "platform/CoreState.h"
