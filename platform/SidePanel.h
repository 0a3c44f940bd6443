// The panel the desktop window shows beside the device screen: side text in
// the platform's own font and colours, drawn as palette indices so it is
// scaled by the screen's whole factor like the screen itself.
#pragma once

#include "platform/Core.h"
#include "platform/SideText.h"

#include <vector>

namespace platform::sdl {

constexpr int panelColumns = sideTextColumns;  // screen pixels; as tall as the screen

// Draws `text` into `image` (panelColumns x screenHeight): the caption bar,
// the headline, then the rows of the lines in view (viewSideText), and a
// scroll bar at the right edge when they do not all fit.
void drawSidePanel(core::PixelBuffer& image, const SideText& text);

// Where the caption bar's buttons lie in the panel, in the order of `text.buttons`.
[[nodiscard]] std::vector<Rect> sidePanelButtons(const SideText& text);

// The scroll bar's thumb, or an empty rectangle when every row is in view.
[[nodiscard]] Rect sidePanelThumb(const SideTextView& view);

}  // namespace platform::sdl
