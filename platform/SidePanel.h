// The panel the desktop window shows beside the device screen: side text in
// the platform's own font and colours, drawn as palette indices so it is
// scaled by the screen's whole factor like the screen itself.
#pragma once

#include "platform/Core.h"
#include "platform/SideText.h"

#include <vector>

namespace platform::sdl {

constexpr int panelColumns = 172;  // screen pixels; as tall as the screen

// Draws `text` into `image` (panelColumns x screenHeight): the caption bar,
// the headline, then the lines, top first, each whole, as many as fit; a
// first line too long for the panel shows as much of it as fits.
void drawSidePanel(core::PixelBuffer& image, const SideText& text);

// Where the caption bar's buttons lie in the panel, in the order of `text.buttons`.
[[nodiscard]] std::vector<Rect> sidePanelButtons(const SideText& text);

}  // namespace platform::sdl
