// A rectangle of palette indices and the few transforms the pictures need.
#pragma once

#include <cstdint>
#include <vector>

namespace generator {

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // width * height, row by row

    Canvas() = default;
    Canvas(int w, int h, std::uint8_t fill);

    std::uint8_t at(int x, int y) const;
    void set(int x, int y, std::uint8_t colour);  // outside the canvas: ignored
    void fillRect(int x, int y, int w, int h, std::uint8_t colour);
    void paste(const Canvas& source, int x, int y);  // plain copy, clipped
    void replace(std::uint8_t from, std::uint8_t to);
};

Canvas turnClockwise(const Canvas& source);
Canvas turnAnticlockwise(const Canvas& source);
Canvas flipVertical(const Canvas& source);

}  // namespace generator
