// The backing tracker: the background picture last copied onto the screen
// and the patches drawn over it since, so a repaint of the same background
// and the same cards moves no pixel.
#include "platform/Core.h"

#include <algorithm>
#include <array>
#include <bit>
#include <tuple>

namespace platform::core {

namespace {

void restoreBacking(const ScreenBacking& backing, Rect r)
{
    PixelBuffer& screen = state().screen;
    const PictureSpot& from = backing.picture;
    moveRows(screen.pixels.data(), screen.width, r.left, r.top, from.pixels, from.stride,
             from.x + r.left - backing.area.left, from.y + r.top - backing.area.top, r.right - r.left,
             r.bottom - r.top);
}

static_assert(std::tuple_size_v<decltype(ScreenBacking::patches)> <= 64, "a tile holds one bit a patch");

static_assert(ScreenBacking::tileColumns << ScreenBacking::tileShift >= screenWidth &&
                  ScreenBacking::tileRows << ScreenBacking::tileShift >= screenHeight,
              "the tiles cover the screen");

// The tiles `area` meets (areas lie on the screen).
struct TileSpan {
    int left, right, top, bottom;  // inclusive
};
TileSpan tilesOf(const Rect& area)
{
    constexpr int shift = ScreenBacking::tileShift;
    return {std::clamp(area.left >> shift, 0, ScreenBacking::tileColumns - 1),
            std::clamp((area.right - 1) >> shift, 0, ScreenBacking::tileColumns - 1),
            std::clamp(area.top >> shift, 0, ScreenBacking::tileRows - 1),
            std::clamp((area.bottom - 1) >> shift, 0, ScreenBacking::tileRows - 1)};
}

// The patches whose tiles meet `area`: a superset of those that overlap it.
std::uint64_t patchesNear(const ScreenBacking& backing, const Rect& area)
{
    const TileSpan span = tilesOf(area);
    std::uint64_t near = 0;
    for (int row = span.top; row <= span.bottom; ++row) {
        for (int column = span.left; column <= span.right; ++column)
            near |= backing.tiles[static_cast<std::size_t>(row * ScreenBacking::tileColumns + column)];
    }
    return near;
}

// Sets (or clears) patch i's bit in the tiles `area` meets.
void markTiles(ScreenBacking& backing, const Rect& area, int i, bool set)
{
    const TileSpan span = tilesOf(area);
    const std::uint64_t bit = std::uint64_t{1} << i;
    for (int row = span.top; row <= span.bottom; ++row) {
        for (int column = span.left; column <= span.right; ++column) {
            std::uint64_t& tile = backing.tiles[static_cast<std::size_t>(row * ScreenBacking::tileColumns + column)];
            tile = set ? tile | bit : tile & ~bit;
        }
    }
}

bool hasBit(std::uint64_t mask, int i)
{
    return (mask >> i & 1) != 0;
}

void setBit(std::uint64_t& mask, int i, bool value)
{
    const std::uint64_t bit = std::uint64_t{1} << i;
    mask = value ? mask | bit : mask & ~bit;
}

void removePatch(ScreenBacking& backing, int i)
{
    const int last = --backing.patchCount;
    markTiles(backing, backing.patches[static_cast<std::size_t>(i)].area, i, false);
    for (std::uint64_t* mask : {&backing.blank, &backing.owing}) {
        setBit(*mask, i, hasBit(*mask, last));
        setBit(*mask, last, false);
    }
    if (i == last)
        return;
    // The last patch takes the place freed: its tiles' bit moves from `last` to `i`.
    const ScreenPatch& moved = backing.patches[static_cast<std::size_t>(last)];
    const TileSpan span = tilesOf(moved.area);
    const std::uint64_t from = std::uint64_t{1} << last;
    const std::uint64_t to = std::uint64_t{1} << i;
    for (int row = span.top; row <= span.bottom; ++row) {
        for (int column = span.left; column <= span.right; ++column) {
            std::uint64_t& tile = backing.tiles[static_cast<std::size_t>(row * ScreenBacking::tileColumns + column)];
            tile = (tile & ~from) | to;
        }
    }
    backing.patches[static_cast<std::size_t>(i)] = moved;
}

void addPatch(ScreenBacking& backing, const ScreenPatch& patch)
{
    if (backing.patchCount == static_cast<int>(backing.patches.size()))
        settleScreen();
    if (backing.patchCount == static_cast<int>(backing.patches.size())) {
        ScreenPatch& last = backing.patches.back();
        last = {unite(last.area, patch.area), {}};
        markTiles(backing, last.area, backing.patchCount - 1, true);
        setBit(backing.blank, backing.patchCount - 1, true);
        setBit(backing.owing, backing.patchCount - 1, false);
        return;
    }
    markTiles(backing, patch.area, backing.patchCount, true);
    setBit(backing.blank, backing.patchCount, patch.shows == PictureSpot{});
    setBit(backing.owing, backing.patchCount, false);
    backing.patches[static_cast<std::size_t>(backing.patchCount++)] = patch;
}

// A picture drawn again exactly where a patch shows it, with no blank patch
// over any part of it: the patch it would find the slow way, or -1.
int patchShowingAgain(const ScreenBacking& backing, const Rect& area, const PictureSpot& shows)
{
    if (static_cast<unsigned>(area.left) >= static_cast<unsigned>(screenWidth) ||
        static_cast<unsigned>(area.top) >= static_cast<unsigned>(screenHeight))
        return -1;
    constexpr int shift = ScreenBacking::tileShift;
    const std::uint64_t onCorner =
        backing.tiles[static_cast<std::size_t>((area.top >> shift) * ScreenBacking::tileColumns + (area.left >> shift))];
    for (std::uint64_t showing = onCorner & ~backing.blank; showing != 0; showing &= showing - 1) {
        const int i = std::countr_zero(showing);
        const ScreenPatch& patch = backing.patches[static_cast<std::size_t>(i)];
        // Without branches: which of the few patches on the corner is the one is unpredictable.
        const Rect& a = patch.area;
        if (((a.left ^ area.left) | (a.top ^ area.top) | (a.right ^ area.right) | (a.bottom ^ area.bottom)) != 0)
            continue;
        if (patch.shows != shows)
            return -1;
        for (std::uint64_t near = backing.blank ? patchesNear(backing, area) & backing.blank : 0; near != 0;
             near &= near - 1) {
            const Rect& a = backing.patches[static_cast<std::size_t>(std::countr_zero(near))].area;
            if (a.left < area.right && area.left < a.right && a.top < area.bottom && area.top < a.bottom)
                return -1;
        }
        return i;
    }
    return -1;
}

// Only a copy this large is taken for a background.
bool backgroundSized(Rect area)
{
    return (area.right - area.left) * (area.bottom - area.top) >= 128 * 128;
}

}  // namespace

bool prepareScreenWrite(const Rect& area, const PictureSpot* picture)
{
    ScreenBacking& backing = state().backing;
    if (picture && backgroundSized(area)) {
        if (*picture == backing.picture && area == backing.area) {
            backing.owing = backing.patchCount == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << backing.patchCount) - 1;
            return false;
        }
        settleScreen();  // patches owing the old backing get it before it is forgotten
        backing.picture = *picture;
        backing.area = area;
        backing.patchCount = 0;
        backing.tiles.fill(0);
        backing.blank = 0;
        backing.owing = 0;
        return true;
    }
    // The same picture again on a patch that shows it, with nothing else
    // there: the patch no longer owes the backing, and nothing moves.
    if (picture) {
        const int again = patchShowingAgain(backing, area, *picture);
        if (again >= 0) {
            setBit(backing.owing, again, false);
            return false;
        }
    }
    const Rect tracked = intersect(area, backing.area);
    if (isEmpty(tracked))
        return true;
    PictureSpot shows{};
    if (picture)
        shows = {picture->pixels, picture->stride, picture->x + tracked.left - area.left,
                 picture->y + tracked.top - area.top};

    // The patches the write touches, in order, among those on its tiles.
    std::array<int, std::tuple_size_v<decltype(backing.patches)>> touched;
    int touchedCount = 0;
    for (std::uint64_t near = patchesNear(backing, tracked); near != 0; near &= near - 1) {
        const int i = std::countr_zero(near);
        // Without branches: which neighbours overlap is unpredictable.
        const Rect& a = backing.patches[static_cast<std::size_t>(i)].area;
        const bool overlaps =
            (a.left < tracked.right) & (tracked.left < a.right) & (a.top < tracked.bottom) & (tracked.top < a.bottom);
        touched[static_cast<std::size_t>(touchedCount)] = i;
        touchedCount += overlaps ? 1 : 0;
    }
    // Backwards, so a removal only moves a patch already dealt with.
    while (touchedCount > 0) {
        const int i = touched[static_cast<std::size_t>(--touchedCount)];
        ScreenPatch& patch = backing.patches[static_cast<std::size_t>(i)];
        if (intersect(patch.area, tracked) == patch.area) {
            removePatch(backing, i);  // written over whole: what it owed or showed no longer matters
        } else if (hasBit(backing.owing, i)) {
            restoreBacking(backing, patch.area);  // before the write lands on part of it
            removePatch(backing, i);
        } else {
            patch.shows = {};
            setBit(backing.blank, i, true);
        }
    }
    addPatch(backing, {tracked, shows});
    return true;
}

void noteWrite(const PixelBuffer& target, Rect area)
{
    if (&target == &state().screen)
        prepareScreenWrite(area, nullptr);
}

void settleScreen()
{
    ScreenBacking& backing = state().backing;
    for (int i = 0; i < backing.patchCount;) {
        if (hasBit(backing.owing, i)) {
            restoreBacking(backing, backing.patches[static_cast<std::size_t>(i)].area);
            removePatch(backing, i);
        } else {
            ++i;
        }
    }
}

}  // namespace platform::core
