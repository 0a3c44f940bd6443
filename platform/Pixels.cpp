// Pixel primitives on palette-index buffers: rows moved between buffers,
// fills, frames, text in the pixel font and the platform's own pictures, with
// the reference path's plain 0xRRGGBB pixels beside them when kept.
#include "platform/Core.h"

#include "platform/PixelFont.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace platform::core {

namespace {

// A picture's rows are a few dozen bytes: copied as two overlapping pieces of
// fixed size they need no call. Both pieces are read before either is
// written, so a row may overlap its own destination.
template <std::size_t piece>
void movePieces(std::uint8_t* to, const std::uint8_t* from, std::size_t bytes)
{
    std::uint8_t head[piece];
    std::uint8_t tail[piece];
    std::memcpy(head, from, piece);
    std::memcpy(tail, from + bytes - piece, piece);
    std::memcpy(to, head, piece);
    std::memcpy(to + bytes - piece, tail, piece);
}

}  // namespace

// Copies `height` rows of `width` from (fromX, fromY) to (toX, toY); the two
// may be one buffer, so rows go in the order that never reads a row already written.
void moveRows(std::uint8_t* to, int toStride, int toX, int toY, const std::uint8_t* from, int fromStride, int fromX,
              int fromY, int width, int height)
{
    std::uint8_t* out = to + static_cast<std::ptrdiff_t>(toY) * toStride + toX;
    const std::uint8_t* in = from + static_cast<std::ptrdiff_t>(fromY) * fromStride + fromX;
    if (width == toStride && width == fromStride) {
        // Whole rows of both (the board's background): one block.
        std::memmove(out, in, static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        return;
    }
    std::ptrdiff_t outStep = toStride;
    std::ptrdiff_t inStep = fromStride;
    if (to == from && toY > fromY) {
        out += (height - 1) * outStep;
        in += (height - 1) * inStep;
        outStep = -outStep;
        inStep = -inStep;
    }
    const auto bytes = static_cast<std::size_t>(width);
    auto eachRow = [&](auto move) {
        for (int row = 0; row < height; ++row, out += outStep, in += inStep)
            move(out, in);
    };
    if (bytes >= 16 && bytes <= 32)
        eachRow([bytes](std::uint8_t* o, const std::uint8_t* i) { movePieces<16>(o, i, bytes); });
    else if (bytes > 32 && bytes <= 64)
        eachRow([bytes](std::uint8_t* o, const std::uint8_t* i) { movePieces<32>(o, i, bytes); });
    else
        eachRow([bytes](std::uint8_t* o, const std::uint8_t* i) { std::memmove(o, i, bytes); });
}

// The reference path's block copy: one pixel at a time, through a copy of
// the source block so an overlapping move can't read its own writes.
void referenceCopy(std::uint32_t* to, int toStride, int toX, int toY, const std::uint32_t* from, int fromStride,
                   int fromX, int fromY, int width, int height)
{
    std::vector<std::uint32_t> block;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column)
            block.push_back(from[(fromY + row) * fromStride + fromX + column]);
    }
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column)
            to[(toY + row) * toStride + toX + column] = block[static_cast<std::size_t>(row * width + column)];
    }
}

// Copies `source` with its top-left corner at (x, y), only inside `clip`.
void copyBuffer(PixelBuffer& target, int x, int y, const PixelBuffer& source, Rect clip)
{
    Rect area = intersect(intersect({x, y, x + source.width, y + source.height}, clip), target.bounds());
    if (!state().drawsPixels)
        return;
    if (isEmpty(area))
        return;
    noteWrite(target, area);
    moveRows(target.pixels.data(), target.width, area.left, area.top, source.pixels.data(), source.width, area.left - x,
             area.top - y, area.right - area.left, area.bottom - area.top);
    if (!target.reference.empty() && !source.reference.empty())
        referenceCopy(target.reference.data(), target.width, area.left, area.top, source.reference.data(), source.width,
                      area.left - x, area.top - y, area.right - area.left, area.bottom - area.top);
}

// ---- Pixels ---------------------------------------------------------------

const std::uint32_t* screenPalette()
{
    static const std::array<std::uint32_t, 256> colours = [] {
        std::array<std::uint32_t, 256> table{};
        for (int index = 0; index < firstPlatformColour; ++index)
            table[static_cast<std::size_t>(index)] = resources::paletteColor(static_cast<std::uint8_t>(index));
        for (const Colour& platformColour : colour::all)
            table[platformColour.index] = platformColour.rgb;
        return table;
    }();
    return colours.data();
}

void keepReferencePixels(bool keep)
{
    referencePixelsKept = keep;
}
bool referencePixelsKept = false;

void PixelBuffer::resize(int w, int h, Colour colour)
{
    width = std::max(0, w);
    height = std::max(0, h);
    pixels.assign(static_cast<std::size_t>(width * height), colour.index);
    if (referencePixelsKept)
        reference.assign(static_cast<std::size_t>(width * height), colour.rgb);
    else
        reference.clear();
}

void fillRect(PixelBuffer& target, Rect r, Colour colour)
{
    r = intersect(r, target.bounds());
    if (!state().drawsPixels || isEmpty(r))
        return;
    noteWrite(target, r);
    for (int y = r.top; y < r.bottom; ++y)
        std::memset(target.pixels.data() + y * target.width + r.left, colour.index,
                    static_cast<std::size_t>(r.right - r.left));
    for (int y = r.top; y < r.bottom && !target.reference.empty(); ++y) {
        for (int x = r.left; x < r.right; ++x)
            target.reference[static_cast<std::size_t>(y * target.width + x)] = colour.rgb;
    }
}

void frameRect(PixelBuffer& target, Rect r, Colour colour)
{
    fillRect(target, {r.left, r.top, r.right, r.top + 1}, colour);
    fillRect(target, {r.left, r.bottom - 1, r.right, r.bottom}, colour);
    fillRect(target, {r.left, r.top, r.left + 1, r.bottom}, colour);
    fillRect(target, {r.right - 1, r.top, r.right, r.bottom}, colour);
}

void drawText(PixelBuffer& target, int x, int y, std::string_view text, Colour colour, bool bold)
{
    if (!state().drawsPixels)
        return;
    int right = x + 1;  // bold's second pass lies one column on
    for (char c : text)
        right += font::advanceOf(c);
    const Rect inked = intersect({x, y, right, y + font::cellHeight}, target.bounds());
    if (!isEmpty(inked))
        noteWrite(target, inked);
    for (int pass = 0; pass < (bold ? 2 : 1); ++pass) {
        int left = x + pass;
        for (char c : text) {
            const int width = font::widthOf(c);
            for (int row = 0; row < font::cellHeight; ++row) {
                const int atY = y + row;
                unsigned ink = font::inkOf(c, row);
                if (ink == 0 || atY < 0 || atY >= target.height)
                    continue;
                for (int column = 0; ink != 0 && column < width; ++column, ink >>= 1) {
                    const int atX = left + column;
                    if (!(ink & 1u) || atX < 0 || atX >= target.width)
                        continue;
                    auto at = static_cast<std::size_t>(atY * target.width + atX);
                    target.pixels[at] = colour.index;
                    if (!target.reference.empty())
                        target.reference[at] = colour.rgb;
                }
            }
            left += width + 1;
        }
    }
}

void drawBitmap(PixelBuffer& target, int x, int y, const resources::Bitmap& bitmap)
{
    Rect area = intersect({x, y, x + bitmap.width, y + bitmap.height}, target.bounds());
    if (!state().drawsPixels || isEmpty(area))
        return;
    noteWrite(target, area);
    // Pixels of the clear index let the target show through (the icon's background).
    const std::uint8_t clear = resources::clearIndex();
    for (int row = area.top; row < area.bottom; ++row) {
        for (int column = area.left; column < area.right; ++column) {
            std::uint8_t index = bitmap.pixels[static_cast<std::size_t>((row - y) * bitmap.width + (column - x))];
            if (index == clear)
                continue;
            std::size_t at = static_cast<std::size_t>(row * target.width + column);
            target.pixels[at] = index;
            if (!target.reference.empty())
                target.reference[at] = resources::paletteColor(index);
        }
    }
}

}  // namespace platform::core
