// The platform's own small font: 5 x 7 glyphs for printable ASCII, used for
// the title bar, the menu bar, pop-ups, boxes and dialogs.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform::font {

constexpr int glyphWidth = 5;
constexpr int glyphHeight = 7;
constexpr int advance = glyphWidth + 1;  // one blank column between glyphs
constexpr int lineHeight = glyphHeight + 3;

// Whether the glyph of `c` has ink at (column, row); characters outside
// printable ASCII show as '?'.
bool hasInk(char c, int column, int row);
int textWidth(std::string_view text);  // pixels, without the trailing blank column

}  // namespace platform::font
