// The frame painter: the pure step from the device screen's palette indices
// to the desktop window's pixels, each index a square of factor x factor
// pixels, placed as ScreenLayout.h says, with black bars. It knows nothing of SDL or X, so tests
// check it on plain memory.
#pragma once

#include "platform/Platform.h"
#include "platform/ScreenLayout.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::sdl {

// The columns [begin, end) of a screen row that differ between two frames;
// begin == end == 0 when none do.
struct Span {
    std::int16_t begin = 0;
    std::int16_t end = 0;
};
Span differingColumns(const std::uint8_t* shown, const std::uint8_t* next);

// Window pixels to paint into: rows of `pitch` bytes, 4 or 2 bytes a pixel.
struct PixelTarget {
    std::uint8_t* pixels = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
    int bytes = 0;
};

// Paints screen rows [first, last) of `frame` (screenWidth x screenHeight
// indices) into `target` as `fit` places them, through `colours` (each index
// in the target's pixel format): of each row only its span in `spans`, or
// all of it without them. `line` is scratch memory that keeps its size.
void paintRows(const PixelTarget& target, const Fit& fit, const std::uint8_t* frame, const std::uint32_t* colours,
               int first, int last, const Span* spans, std::vector<std::uint8_t>& line);
// A picture of palette indices, row by row, to paint beside the screen.
struct Picture {
    const std::uint8_t* indices = nullptr;
    int columns = 0;
    int rows = 0;
};
// Paints `picture` with its top-left corner at window pixel (left, top),
// each index a square of factor x factor pixels, clipped to the target.
void paintPicture(const PixelTarget& target, int left, int top, int factor, const Picture& picture,
                  const std::uint32_t* colours, std::vector<std::uint8_t>& line);

// Fills the bars beside and above the picture with `black` (the target's format).
void fillBars(const PixelTarget& target, const Fit& fit, std::uint32_t black);

}  // namespace platform::sdl
