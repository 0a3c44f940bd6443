// Where the device screen lies in a window of a given size, scaled by a
// whole factor, and where a panel beside it goes; plain arithmetic, so any
// back end and the fast tests can use it.
#pragma once

namespace platform {

// Where the screen lies in a window of the given size: centred, whole factor.
struct Fit {
    int factor;
    int left;
    int top;
};
Fit fitScreen(int width, int height);

// Black columns between the screen and a panel beside it, in screen pixels.
constexpr int panelGap = 4;

// The screen, and a panel of `panelColumns` screen pixels (0 for none) on
// its right, as tall as the screen, both at the largest whole factor that
// holds them side by side, centred together: a panel asked for always shows,
// the screen stepping down a factor for it rather than leave it out. In a
// window narrower than both at factor 1, the screen keeps the left edge and
// the panel is cut at the right.
struct Layout {
    Fit board;
    bool panel = false;
    int panelLeft = 0;  // window pixels; the panel's top is the board's
};
Layout layOut(int width, int height, int panelColumns);

}  // namespace platform
