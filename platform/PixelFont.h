// The platform's own small font for printable ASCII, used for the title bar,
// the menu bar, pop-ups, boxes and dialogs. Glyphs are 5 columns wide (N 6,
// M, W, m and w 7, so their strokes keep a gap when drawn bold), 7 rows from the
// top of a capital to the baseline, and 2 more for the descenders of g, j,
// p, q and y.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform::font {

constexpr int glyphWidth = 5;   // most glyphs
constexpr int glyphHeight = 7;  // capital height: what text is centred by
constexpr int descent = 2;      // rows below the baseline
constexpr int cellHeight = glyphHeight + descent;
constexpr int lineHeight = cellHeight + 1;

// Characters outside printable ASCII show as '?'.
int widthOf(char c);    // columns of the glyph
int advanceOf(char c);  // its width and one blank column
// The ink of the glyph of `c` in `row`: bit n set for ink in column n. Rows
// from glyphHeight on lie below the baseline.
std::uint8_t inkOf(char c, int row);
int textWidth(std::string_view text);  // pixels, without the trailing blank column

}  // namespace platform::font
