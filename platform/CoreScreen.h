// What draws the platform core's screen: repainting (Repaint.cpp), the
// screen with its bars and overlays (Screen.cpp), the frame of boxes and
// dialogs (MessageBox.cpp, Dialog.cpp) and the menu bar (MenuBar.cpp).
// Core.h includes it with the rest of what the core's files share.
#pragma once

#include "platform/CorePixels.h"
#include "platform/CoreState.h"
#include "platform/Platform.h"

#include <string_view>

namespace platform::core {

// ---- Repainting (Repaint.cpp) ----------------------------------------------

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

}  // namespace platform::core
