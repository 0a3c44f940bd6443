#include "Canvas.h"

namespace generator {

Canvas::Canvas(int w, int h, std::uint8_t fill) : width(w), height(h), pixels(static_cast<std::size_t>(w * h), fill) {}

std::uint8_t Canvas::at(int x, int y) const
{
    return pixels[static_cast<std::size_t>(y * width + x)];
}

void Canvas::set(int x, int y, std::uint8_t colour)
{
    if (x >= 0 && y >= 0 && x < width && y < height)
        pixels[static_cast<std::size_t>(y * width + x)] = colour;
}

void Canvas::fillRect(int x, int y, int w, int h, std::uint8_t colour)
{
    for (int row = y; row < y + h; ++row)
        for (int column = x; column < x + w; ++column)
            set(column, row, colour);
}

void Canvas::paste(const Canvas& source, int x, int y)
{
    for (int row = 0; row < source.height; ++row)
        for (int column = 0; column < source.width; ++column)
            set(x + column, y + row, source.at(column, row));
}

void Canvas::replace(std::uint8_t from, std::uint8_t to)
{
    for (std::uint8_t& pixel : pixels)
        if (pixel == from)
            pixel = to;
}

// The top edge becomes the right edge.
Canvas turnClockwise(const Canvas& source)
{
    Canvas turned(source.height, source.width, 0);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x)
            turned.set(source.height - 1 - y, x, source.at(x, y));
    return turned;
}

// The top edge becomes the left edge.
Canvas turnAnticlockwise(const Canvas& source)
{
    Canvas turned(source.height, source.width, 0);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x)
            turned.set(y, source.width - 1 - x, source.at(x, y));
    return turned;
}

Canvas flipVertical(const Canvas& source)
{
    Canvas flipped(source.width, source.height, 0);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x)
            flipped.set(x, source.height - 1 - y, source.at(x, y));
    return flipped;
}

}  // namespace generator
