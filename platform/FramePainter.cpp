// The frame painter (see FramePainter.h).
#include "platform/FramePainter.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstring>

namespace platform::sdl {

namespace {

// Copies into the window's pixels past the processor's caches: the X server
// reads them next, and a whole frame at scale 3 (2.7 MB) would otherwise
// first be read in only to be overwritten, and push out what the game uses.
void copyPastCache(void* to, const void* from, std::size_t bytes)
{
#if defined(__SSE2__)
    auto* out = static_cast<std::uint8_t*>(to);
    const auto* in = static_cast<const std::uint8_t*>(from);
    const std::size_t head = std::min(bytes, (16 - reinterpret_cast<std::uintptr_t>(out) % 16) % 16);
    std::memcpy(out, in, head);
    out += head;
    in += head;
    bytes -= head;
    for (; bytes >= 16; bytes -= 16, out += 16, in += 16)
        _mm_stream_si128(reinterpret_cast<__m128i*>(out), _mm_loadu_si128(reinterpret_cast<const __m128i*>(in)));
    std::memcpy(out, in, bytes);
#else
    std::memcpy(to, from, bytes);
#endif
}

// Orders those copies before whatever tells the server to read them.
void finishCopiesPastCache()
{
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

// Each of `columns` indices as `factor` pixels in a row; a `fixed`
// factor gives a loop the compiler can unroll.
template <class Pixel, int fixed = 0>
void widen(Pixel* out, const std::uint8_t* source, int columns, int factor, const std::uint32_t* colours)
{
    const int times = fixed > 0 ? fixed : factor;
    for (int column = 0; column < columns; ++column) {
        const auto colour = static_cast<Pixel>(colours[source[column]]);
        for (int k = 0; k < times; ++k)
            *out++ = colour;
    }
}

template <class Pixel>
void scaleRows(const PixelTarget& target, const Fit& fit, const std::uint8_t* frame, const std::uint32_t* colours,
               int first, int last, const Span* spans, std::vector<std::uint8_t>& line)
{
    // A window smaller than the picture shows its middle.
    const int leftColumn = (std::max(0, -fit.left) + fit.factor - 1) / fit.factor;
    const int rightColumn = std::min(screenWidth, (target.width - fit.left) / fit.factor);
    if (rightColumn <= leftColumn)
        return;
    const auto widest = static_cast<std::size_t>((rightColumn - leftColumn) * fit.factor) * sizeof(Pixel);
    if (line.size() < widest)
        line.resize(widest);
    auto* const scaled = reinterpret_cast<Pixel*>(line.data());
    for (int row = first; row < last; ++row) {
        const int top = fit.top + row * fit.factor;
        const int firstLine = std::max(top, 0);
        const int endLine = std::min(top + fit.factor, target.height);
        const int begin = spans ? std::max<int>(leftColumn, spans[row].begin) : leftColumn;
        const int end = spans ? std::min<int>(rightColumn, spans[row].end) : rightColumn;
        if (firstLine >= endLine || begin >= end)
            continue;
        const std::uint8_t* source = frame + row * screenWidth + begin;
        const int columns = end - begin;
        switch (fit.factor) {
        case 2:
            widen<Pixel, 2>(scaled, source, columns, 2, colours);
            break;
        case 3:
            widen<Pixel, 3>(scaled, source, columns, 3, colours);
            break;
        default:
            widen<Pixel>(scaled, source, columns, fit.factor, colours);
            break;
        }
        const auto bytes = static_cast<std::size_t>(columns * fit.factor) * sizeof(Pixel);
        const auto offset = static_cast<std::size_t>(fit.left + begin * fit.factor) * sizeof(Pixel);
        for (int y = firstLine; y < endLine; ++y)
            copyPastCache(target.pixels + y * target.pitch + offset, scaled, bytes);
    }
    finishCopiesPastCache();
}

}  // namespace

Span differingColumns(const std::uint8_t* shown, const std::uint8_t* next)
{
    if (std::memcmp(shown, next, screenWidth) == 0)
        return {};
    int begin = 0;
    while (shown[begin] == next[begin])
        ++begin;
    int end = screenWidth;
    while (shown[end - 1] == next[end - 1])
        --end;
    return {static_cast<std::int16_t>(begin), static_cast<std::int16_t>(end)};
}

void paintRows(const PixelTarget& target, const Fit& fit, const std::uint8_t* frame, const std::uint32_t* colours,
               int first, int last, const Span* spans, std::vector<std::uint8_t>& line)
{
    if (target.bytes == 4)
        scaleRows<std::uint32_t>(target, fit, frame, colours, first, last, spans, line);
    else if (target.bytes == 2)
        scaleRows<std::uint16_t>(target, fit, frame, colours, first, last, spans, line);
}

void paintPicture(const PixelTarget& target, int left, int top, int factor, const Picture& picture,
                  const std::uint32_t* colours, std::vector<std::uint8_t>& line)
{
    if (!picture.indices || factor < 1 || (target.bytes != 4 && target.bytes != 2))
        return;
    const int firstColumn = std::max(0, (-left + factor - 1) / factor);
    const int endColumn = std::min(picture.columns, (target.width - left) / factor);
    if (endColumn <= firstColumn)
        return;
    const auto bytes = static_cast<std::size_t>((endColumn - firstColumn) * factor * target.bytes);
    if (line.size() < bytes)
        line.resize(bytes);
    const auto offset = static_cast<std::size_t>((left + firstColumn * factor) * target.bytes);
    for (int row = 0; row < picture.rows; ++row) {
        const int firstLine = std::max(top + row * factor, 0);
        const int endLine = std::min(top + (row + 1) * factor, target.height);
        if (firstLine >= endLine)
            continue;
        const std::uint8_t* source = picture.indices + row * picture.columns + firstColumn;
        if (target.bytes == 4)
            widen(reinterpret_cast<std::uint32_t*>(line.data()), source, endColumn - firstColumn, factor, colours);
        else
            widen(reinterpret_cast<std::uint16_t*>(line.data()), source, endColumn - firstColumn, factor, colours);
        for (int y = firstLine; y < endLine; ++y)
            std::memcpy(target.pixels + y * target.pitch + offset, line.data(), bytes);
    }
}

void fillBars(const PixelTarget& target, const Fit& fit, std::uint32_t black)
{
    struct Bar {
        int x, y, width, height;
    };
    const int right = fit.left + screenWidth * fit.factor;
    const int bottom = fit.top + screenHeight * fit.factor;
    const Bar bars[] = {
        {0, 0, target.width, std::max(0, fit.top)},
        {0, bottom, target.width, std::max(0, target.height - bottom)},
        {0, fit.top, std::max(0, fit.left), screenHeight * fit.factor},
        {right, fit.top, std::max(0, target.width - right), screenHeight * fit.factor},
    };
    for (const Bar& bar : bars) {
        // Only what lies inside the window.
        const int left = std::max(bar.x, 0);
        const int top = std::max(bar.y, 0);
        const int rightEdge = std::min(bar.x + bar.width, target.width);
        const int bottomEdge = std::min(bar.y + bar.height, target.height);
        if (rightEdge <= left || bottomEdge <= top)
            continue;
        for (int y = top; y < bottomEdge; ++y) {
            std::uint8_t* out = target.pixels + y * target.pitch + left * target.bytes;
            if (target.bytes == 4)
                std::fill_n(reinterpret_cast<std::uint32_t*>(out), rightEdge - left, black);
            else if (target.bytes == 2)
                std::fill_n(reinterpret_cast<std::uint16_t*>(out), rightEdge - left, static_cast<std::uint16_t>(black));
        }
    }
}

}  // namespace platform::sdl
