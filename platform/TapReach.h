// A finger is wider than the screen's pixels: a tap that just misses every
// shown control goes to the nearest one, if it lies within reach. Used by the
// web back end, whose taps come from fingers on a scaled-up screen, and the
// larger the screen is shown, the fewer of its pixels a finger covers.
#pragma once

#include "platform/Platform.h"

#include <span>
#include <vector>

namespace platform::backend {

struct TapPoint {
    int x;
    int y;
};

// The places a tap can land on now, bottom to top: the open box's buttons
// while a box is open; the board's shown controls and the menu bar button
// otherwise; none while a dialog or pop-up is open.
std::vector<Rect> tapTargets();

// `tap` if it lies on a target or no target is within `reach` screen pixels
// (straight-line distance to the target's nearest pixel); otherwise the
// nearest target's pixel closest to the tap, or the target's middle when a
// target above covers that pixel.
TapPoint reachTarget(TapPoint tap, int reach, std::span<const Rect> targets);

// How far outside a control a finger may land and still mean it, in CSS pixels.
constexpr int fingerReachCssPixels = 6;

// That reach in screen pixels, rounded, at least one, on a screen shown at
// `scaleThousandths` thousandths of a CSS pixel per screen pixel (2500: each
// screen pixel 2.5 CSS pixels wide).
int fingerReach(int scaleThousandths);

// A finger's tap at screen (x, y) on a screen shown at that scale: aimed at
// what is shown as it arrives, as the finger aimed, and queued as a tap.
void queueFingerTap(int x, int y, int scaleThousandths);

}  // namespace platform::backend
