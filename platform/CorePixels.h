// What the platform core draws with: rectangles, the 8-bit palette indices
// of every surface and the platform's own few colours, pixel buffers and
// drawing into them (Pixels.cpp), block copies, and the backing tracker's
// record of what the screen shows (Backing.cpp). Core.h includes it with
// the rest of what the core's files share.
#pragma once

#include "platform/Platform.h"
#include "resources/Resources.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace platform::core {

// ---- Geometry -------------------------------------------------------------

constexpr int menuBarTop = screenHeight - menuBarHeight;

// Inline: every picture drawn goes through several of them.
inline bool isEmpty(const Rect& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}
inline Rect intersect(const Rect& a, const Rect& b)
{
    Rect r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top, a.right < b.right ? a.right : b.right,
           a.bottom < b.bottom ? a.bottom : b.bottom};
    return isEmpty(r) ? Rect{} : r;
}
Rect unite(const Rect& a, const Rect& b);  // bounding box; an empty side is ignored
inline bool contains(const Rect& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}
inline Rect offset(const Rect& r, int dx, int dy)
{
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// ---- Pixels ---------------------------------------------------------------

// Every surface holds 8-bit palette indices, as the pictures do: block copies
// move bytes, and colours are looked up once per shown frame in the back end.
// Indices below firstPlatformColour are the pictures' palette; the platform's
// own few colours sit above it.
constexpr int firstPlatformColour = 249;

// The screen's 256 colours, 0xRRGGBB, by index; the same table for the whole run.
const std::uint32_t* screenPalette();

// A colour the platform draws with: its index, and the 0xRRGGBB it must show as
// (the reference path draws with the latter).
struct Colour {
    std::uint8_t index;
    std::uint32_t rgb;
};

namespace colour {
constexpr Colour desktop{249, 0x303030};
constexpr Colour bar{250, 0x1C3C78};  // title bar, captions, highlighted items
constexpr Colour barText{251, 0xFFFFFF};
constexpr Colour panel{252, 0xE4E4E4};  // menu bar, buttons
constexpr Colour panelEdge{253, 0x808080};
constexpr Colour window{254, 0xFFFFFF};  // box and dialog bodies, the pop-up
constexpr Colour text{255, 0x000000};
constexpr Colour all[] = {desktop, bar, barText, panel, panelEdge, window, text};
}  // namespace colour

// Checks of the indexed drawing keep a second copy of every buffer as plain
// 0xRRGGBB pixels, drawn pixel by pixel with colours resolved as they are
// drawn. Process-wide, read when a buffer is sized; off by default.
void keepReferencePixels(bool keep);
extern bool referencePixelsKept;
inline bool keepsReferencePixels()
{
    return referencePixelsKept;
}

struct PixelBuffer {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;      // palette indices, row by row
    std::vector<std::uint32_t> reference;  // 0xRRGGBB, row by row; empty unless reference pixels are kept

    void resize(int w, int h, Colour colour);
    Rect bounds() const { return {0, 0, width, height}; }
};

void fillRect(PixelBuffer& target, Rect r, Colour colour);
void frameRect(PixelBuffer& target, Rect r, Colour colour);
// Text in the pixel font with its top-left corner at (x, y); bold draws it twice, one pixel apart.
void drawText(PixelBuffer& target, int x, int y, std::string_view text, Colour colour, bool bold = false);
// The one place a picture is drawn into the platform's own buffers (the About
// dialog's icon); a transparent index would be honoured here.
void drawBitmap(PixelBuffer& target, int x, int y, const resources::Bitmap& bitmap);

// ---- The backing (Backing.cpp) ---------------------------------------------

// Where a picture's pixels come from: rows of `stride`, (x, y) the pixel
// that lands at a screen area's top-left. Pictures are program data, never
// changed or freed, so equal pointers mean equal pixels.
struct PictureSpot {
    const std::uint8_t* pixels = nullptr;
    int stride = 0;
    int x = 0;
    int y = 0;

    friend bool operator==(const PictureSpot&, const PictureSpot&) = default;
};

// An area of the screen drawn over since the backing was copied.
struct ScreenPatch {
    Rect area{};
    PictureSpot shows{};  // the one picture the area shows exactly, if any
};

// The board repaints its background picture whole many times a round, then
// draws mostly the same cards over it again. The background last copied is
// the backing; copying it again only marks the patches drawn over it as owing
// it, and a patch is restored only if it is not drawn over again with the
// same picture before the screen is read or shown.
struct ScreenBacking {
    PictureSpot picture{};
    Rect area{};
    std::array<ScreenPatch, 40> patches{};
    int patchCount = 0;
    // The screen in tiles of 32 x 32 pixels, 8 across and 10 down: bit i of
    // a tile is set when patch i may lie on it, so a write looks only at the
    // patches near it.
    static constexpr int tileShift = 5;
    static constexpr int tileColumns = 8;
    static constexpr int tileRows = 10;
    std::array<std::uint64_t, tileColumns * tileRows> tiles{};
    // Bit i set when patch i shows no one picture. Two patches that overlap
    // never both show one (a write blanks or removes every patch it touches),
    // so a patch showing a picture is overlapped by blank patches only.
    std::uint64_t blank = 0;
    // Bit i set when patch i owes the backing: the backing was copied again
    // since, and the area is to show it once settled.
    std::uint64_t owing = 0;
};

// ---- Moving pixels (Pixels.cpp, Backing.cpp) -------------------------------

// Copies `height` rows of `width` from (fromX, fromY) to (toX, toY); the two
// may be one buffer.
void moveRows(std::uint8_t* to, int toStride, int toX, int toY, const std::uint8_t* from, int fromStride, int fromX,
              int fromY, int width, int height);
// The reference path's block copy, pixel by pixel.
void referenceCopy(std::uint32_t* to, int toStride, int toX, int toY, const std::uint32_t* from, int fromStride,
                   int fromX, int fromY, int width, int height);
// Copies `source` with its top-left corner at (x, y), only inside `clip`.
void copyBuffer(PixelBuffer& target, int x, int y, const PixelBuffer& source, Rect clip);
// Bookkeeping before `area` of the screen (already clipped) is written;
// `picture` is set when one picture is copied over all of it. False when the
// screen will show exactly that without any pixel moving.
bool prepareScreenWrite(const Rect& area, const PictureSpot* picture);
// A write of the platform's own (fills, text, icons, plain buttons).
void noteWrite(const PixelBuffer& target, Rect area);

}  // namespace platform::core
