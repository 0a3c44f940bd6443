// The retained device screen: drawing surfaces and block copies, the title
// bar and menu bar the platform draws itself, and the modal overlays that are
// composed on top when the screen is shown, so board drawing under an open
// box never damages it and the box never lands in the board's pixels.
#include "platform/Core.h"

#include "platform/PixelFont.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <tuple>

namespace platform::core {

namespace {

bool referencePixelsKept = false;

// Where a surface's pixels lie: the client area of a window on the screen
// (only where drawing on it may land), or an off-screen surface's contents.
struct SurfaceView {
    Rect usable{};    // in surface coordinates
    int originX = 0;  // surface (0, 0) in the buffer
    int originY = 0;
    int stride = 0;  // indices per row of the buffer
    const std::uint8_t* read = nullptr;
    const std::uint32_t* readReference = nullptr;  // null unless reference pixels are kept
};

SurfaceView viewOf(const SurfaceRecord& surface)
{
    SurfaceView view;
    CoreState& s = state();
    if (surface.window == 0) {
        view.usable = {0, 0, surface.width, surface.height};
        view.stride = surface.width;
        view.read = surface.picture;
        if (surface.hasContents || !s.surfaceContents.empty()) {
            auto contents = s.surfaceContents.find(surface.handle);
            if (contents != s.surfaceContents.end()) {
                if (surface.hasContents)
                    view.read = contents->second.indices.data();
                if (!contents->second.reference.empty())
                    view.readReference = contents->second.reference.data();
            }
        }
        return view;
    }
    const WindowRecord* window = findWindow(surface.window);
    if (!window)
        return view;
    Rect client = screenRectOf(*window);
    view.originX = client.left;
    view.originY = client.top;
    view.usable = offset(drawableRect(*window), -client.left, -client.top);
    view.stride = s.screen.width;
    view.read = s.screen.pixels.data();
    view.readReference = s.screen.reference.empty() ? nullptr : s.screen.reference.data();
    return view;
}

// Where drawing into a surface lands: the screen, or an off-screen surface's
// own contents, made from its picture the first time.
struct WritableView {
    std::uint8_t* indices = nullptr;
    std::uint32_t* reference = nullptr;
};

WritableView writableView(SurfaceRecord& surface)
{
    CoreState& s = state();
    if (surface.window != 0)
        return {s.screen.pixels.data(), s.screen.reference.empty() ? nullptr : s.screen.reference.data()};
    SurfaceContents& contents = s.surfaceContents[surface.handle];
    if (!surface.hasContents) {
        contents.indices.assign(surface.picture,
                                surface.picture + static_cast<std::size_t>(surface.width * surface.height));
        surface.hasContents = true;
    }
    return {contents.indices.data(), contents.reference.empty() ? nullptr : contents.reference.data()};
}

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

// ---- What lies over the backing ------------------------------------------------

void restoreBacking(const ScreenBacking& backing, Rect r)
{
    PixelBuffer& screen = state().screen;
    const PictureSpot& from = backing.picture;
    moveRows(screen.pixels.data(), screen.width, r.left, r.top, from.pixels, from.stride,
             from.x + r.left - backing.area.left, from.y + r.top - backing.area.top, r.right - r.left,
             r.bottom - r.top);
}

void removePatch(ScreenBacking& backing, int i)
{
    backing.patches[static_cast<std::size_t>(i)] = backing.patches[static_cast<std::size_t>(--backing.patchCount)];
}

void addPatch(ScreenBacking& backing, const ScreenPatch& patch);

// Only a copy this large is taken for a background.
bool backgroundSized(Rect area)
{
    return (area.right - area.left) * (area.bottom - area.top) >= 128 * 128;
}

// Bookkeeping before `area` of the screen (already clipped) is written;
// `picture` is set when one picture is copied over all of it. False when the
// screen will show exactly that without any pixel moving.
bool prepareScreenWrite(Rect area, const PictureSpot* picture)
{
    ScreenBacking& backing = state().backing;
    if (picture && backgroundSized(area)) {
        if (*picture == backing.picture && area == backing.area) {
            for (int i = 0; i < backing.patchCount; ++i)
                backing.patches[static_cast<std::size_t>(i)].owesBacking = true;
            return false;
        }
        settleScreen();  // patches owing the old backing get it before it is forgotten
        backing.picture = *picture;
        backing.area = area;
        backing.patchCount = 0;
        return true;
    }
    const Rect tracked = intersect(area, backing.area);
    if (isEmpty(tracked))
        return true;
    PictureSpot shows{};
    if (picture)
        shows = {picture->pixels, picture->stride, picture->x + tracked.left - area.left,
                 picture->y + tracked.top - area.top};

    // One pass finds the patches the write touches.
    std::array<int, std::tuple_size_v<decltype(backing.patches)>> touched;
    int touchedCount = 0;
    for (int i = 0; i < backing.patchCount; ++i) {
        // Without branches: which patches overlap is unpredictable.
        const Rect& a = backing.patches[static_cast<std::size_t>(i)].area;
        const bool overlaps =
            (a.left < tracked.right) & (tracked.left < a.right) & (a.top < tracked.bottom) & (tracked.top < a.bottom);
        touched[static_cast<std::size_t>(touchedCount)] = i;
        touchedCount += overlaps ? 1 : 0;
    }
    // The same picture again on a patch that shows it, with nothing else
    // there: the patch no longer owes the backing, and nothing moves.
    if (picture && touchedCount == 1) {
        ScreenPatch& patch = backing.patches[static_cast<std::size_t>(touched[0])];
        if (patch.area == area && patch.shows == shows) {
            patch.owesBacking = false;
            return false;
        }
    }
    // Backwards, so a removal only moves a patch already dealt with.
    while (touchedCount > 0) {
        const int i = touched[static_cast<std::size_t>(--touchedCount)];
        ScreenPatch& patch = backing.patches[static_cast<std::size_t>(i)];
        if (intersect(patch.area, tracked) == patch.area) {
            removePatch(backing, i);  // written over whole: what it owed or showed no longer matters
        } else if (patch.owesBacking) {
            restoreBacking(backing, patch.area);  // before the write lands on part of it
            removePatch(backing, i);
        } else {
            patch.shows = {};
        }
    }
    addPatch(backing, {tracked, shows, false});
    return true;
}

void addPatch(ScreenBacking& backing, const ScreenPatch& patch)
{
    if (backing.patchCount == static_cast<int>(backing.patches.size()))
        settleScreen();
    if (backing.patchCount == static_cast<int>(backing.patches.size())) {
        ScreenPatch& last = backing.patches.back();
        last = {unite(last.area, patch.area), {}, false};
        return;
    }
    backing.patches[static_cast<std::size_t>(backing.patchCount++)] = patch;
}

// A write of the platform's own (fills, text, icons, plain buttons).
void noteWrite(const PixelBuffer& target, Rect area)
{
    if (&target == &state().screen)
        prepareScreenWrite(area, nullptr);
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

}  // namespace

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
bool keepsReferencePixels()
{
    return referencePixelsKept;
}

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
            for (int row = 0; row < font::cellHeight; ++row) {
                for (int column = 0; column < font::widthOf(c); ++column) {
                    if (!font::hasInk(c, column, row) || !contains(target.bounds(), left + column, y + row))
                        continue;
                    auto at = static_cast<std::size_t>((y + row) * target.width + left + column);
                    target.pixels[at] = colour.index;
                    if (!target.reference.empty())
                        target.reference[at] = colour.rgb;
                }
            }
            left += font::advanceOf(c);
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

// ---- The screen and its bars ------------------------------------------------

void resetScreen()
{
    state().screen.resize(screenWidth, screenHeight, colour::desktop);
    state().backing = {};
    drawTitleBar();
}

void settleScreen()
{
    ScreenBacking& backing = state().backing;
    for (int i = 0; i < backing.patchCount;) {
        if (backing.patches[static_cast<std::size_t>(i)].owesBacking) {
            restoreBacking(backing, backing.patches[static_cast<std::size_t>(i)].area);
            removePatch(backing, i);
        } else {
            ++i;
        }
    }
}

void markScreenChanged()
{
    state().screenChanged = true;
}

void drawTitleBar()
{
    PixelBuffer& screen = state().screen;
    fillRect(screen, {0, 0, screenWidth, titleBarHeight}, colour::bar);
    if (const WindowRecord* window = findWindow(focusWindow()))
        drawText(screen, 6, (titleBarHeight - font::glyphHeight) / 2, window->text, colour::barText, true);
    markScreenChanged();
}

void fillDesktop(Rect area)
{
    fillRect(state().screen, area, colour::desktop);
    if (!isEmpty(intersect(area, {0, 0, screenWidth, titleBarHeight})))
        drawTitleBar();
    if (!isEmpty(intersect(area, {0, menuBarTop, screenWidth, screenHeight})))
        drawMenuBar();
    markScreenChanged();
}

void paintPlainButton(const WindowRecord& control)
{
    Rect place = screenRectOf(control);
    PixelBuffer face;
    face.resize(place.right - place.left, place.bottom - place.top, colour::panel);
    frameRect(face, face.bounds(), colour::text);
    drawText(face, (face.width - font::textWidth(control.text)) / 2, (face.height - font::glyphHeight) / 2,
             control.text, colour::text);
    copyBuffer(state().screen, place.left, place.top, face, drawableRect(control));
    markScreenChanged();
}

// ---- Overlays and showing the screen ----------------------------------------

PixelBuffer& pushOverlay(Rect rect)
{
    CoreState& s = state();
    Overlay& overlay = s.overlays.emplace_back();
    overlay.rect = rect;
    // A closed overlay's pixels are kept for the next, so opening a box allocates nothing.
    if (!s.spareOverlayImages.empty()) {
        overlay.image = std::move(s.spareOverlayImages.back());
        s.spareOverlayImages.pop_back();
    }
    markScreenChanged();
    return overlay.image;
}

Overlay& topOverlay()
{
    return state().overlays.back();
}

void popOverlay()
{
    CoreState& s = state();
    if (s.overlays.empty())
        return;
    // The screen under it holds whatever the program drew there meanwhile, so
    // nothing is repainted: the board shows exactly what it showed around the
    // overlay, bubbles and all, until the program repaints it.
    s.spareOverlayImages.push_back(std::move(s.overlays.back().image));
    s.overlays.pop_back();
    markScreenChanged();
}

void present()
{
    CoreState& s = state();
    if (!s.screenChanged || !s.drawsPixels)
        return;
    s.screenChanged = false;
    settleScreen();
    // Most pauses show a screen with nothing above it: no copy is needed then.
    if (s.overlays.empty()) {
        s.backend->present(s.screen.pixels.data(), screenPalette());
        return;
    }
    s.composed.width = s.screen.width;
    s.composed.height = s.screen.height;
    s.composed.pixels = s.screen.pixels;
    s.composed.reference = s.screen.reference;
    for (const Overlay& overlay : s.overlays)
        copyBuffer(s.composed, overlay.rect.left, overlay.rect.top, overlay.image, s.composed.bounds());
    s.backend->present(s.composed.pixels.data(), screenPalette());
}

}  // namespace platform::core

namespace platform::backend {

namespace {

// The composed pixel as an index into `pick`'s buffer, or nothing off the screen.
template <class Pick>
std::uint32_t composedAt(int x, int y, Pick pick)
{
    core::settleScreen();
    const core::CoreState& s = core::state();
    if (!core::contains(s.screen.bounds(), x, y))
        return 0;
    for (auto it = s.overlays.rbegin(); it != s.overlays.rend(); ++it) {
        if (core::contains(it->rect, x, y))
            return pick(it->image, static_cast<std::size_t>((y - it->rect.top) * it->image.width + x - it->rect.left));
    }
    return pick(s.screen, static_cast<std::size_t>(y * s.screen.width + x));
}

}  // namespace

std::uint32_t composedPixel(int x, int y)
{
    return composedAt(
        x, y, [](const core::PixelBuffer& buffer, std::size_t at) { return core::screenPalette()[buffer.pixels[at]]; });
}

std::uint32_t composedReferencePixel(int x, int y)
{
    return composedAt(x, y, [](const core::PixelBuffer& buffer, std::size_t at) {
        return buffer.reference.empty() ? 0u : buffer.reference[at];
    });
}

void skipPixels(bool skip)
{
    core::settleScreen();
    core::state().drawsPixels = !skip;
}
void keepReferencePixels(bool keep)
{
    core::keepReferencePixels(keep);
}

}  // namespace platform::backend

namespace platform {

using namespace core;

Handle getDrawingSurface(Handle window)
{
    if (!findWindow(window))
        return 0;
    SurfaceRecord& surface = state().surfaces.emplace_back();
    surface.handle = newHandle();
    surface.window = window;
    return surface.handle;
}

Handle createCompatibleSurface(Handle surface)
{
    CoreState& s = state();
    if (surface != 0 && !findSurface(surface))
        return 0;
    // A fresh off-screen surface holds one black pixel until an image is selected.
    static const std::uint8_t blackPixel = colour::text.index;
    SurfaceRecord& created = s.surfaces.emplace_back();
    created.handle = newHandle();
    created.picture = &blackPixel;
    created.width = 1;
    created.height = 1;
    if (keepsReferencePixels())
        s.surfaceContents[created.handle].reference.assign(1, colour::text.rgb);
    return created.handle;
}

bool selectImage(Handle surface, const Image* image)
{
    SurfaceRecord* record = findSurface(surface);
    if (!record || record->window != 0 || !image || !image->pixels)
        return false;
    record->picture = image->pixels;
    record->width = std::max(0, image->width);
    record->height = std::max(0, image->height);
    record->hasContents = false;
    CoreState& s = state();
    if (!s.surfaceContents.empty())
        s.surfaceContents.erase(surface);
    if (keepsReferencePixels()) {
        std::vector<std::uint32_t>& reference = s.surfaceContents[surface].reference;
        for (int i = 0; i < record->width * record->height; ++i)
            reference.push_back(resources::paletteColor(image->pixels[i]));
    }
    return true;
}

bool blockCopy(Handle destination, int x, int y, int width, int height, Handle source, int sourceX, int sourceY)
{
    CoreState& s = state();
    SurfaceRecord* to = findSurface(destination);
    SurfaceRecord* from = findSurface(source);
    if (!to || !from)
        return false;
    if (!s.drawsPixels) {
        // Where pixels would land is pixel work too; what matters is that the screen changed.
        if (to->window != 0)
            markScreenChanged();
        return true;
    }
    if (from->window != 0)
        settleScreen();  // the screen is read
    const SurfaceView origin = viewOf(*from);
    const SurfaceView target = viewOf(*to);
    if (!target.read || !origin.read || width <= 0 || height <= 0)
        return true;

    // Only pixels that exist in the source and may be drawn in the destination move.
    Rect wanted = intersect({sourceX, sourceY, sourceX + width, sourceY + height}, origin.usable);
    Rect area = intersect(offset(wanted, x - sourceX, y - sourceY), target.usable);
    if (isEmpty(area))
        return true;
    if (to->window != 0)
        markScreenChanged();

    const WritableView written = writableView(*to);
    // The source again: a surface copied onto itself may just have got contents of its own.
    const SurfaceView reread = from == to ? viewOf(*from) : origin;
    const int fromX = area.left - x + sourceX + origin.originX;
    const int fromY = area.top - y + sourceY + origin.originY;
    const int toX = area.left + target.originX;
    const int toY = area.top + target.originY;
    const int columns = area.right - area.left;
    const int rows = area.bottom - area.top;
    bool moves = true;
    if (to->window != 0) {
        PictureSpot spot{reread.read, origin.stride, fromX, fromY};
        const bool isPicture = from->window == 0 && !from->hasContents;
        moves = prepareScreenWrite({toX, toY, toX + columns, toY + rows}, isPicture ? &spot : nullptr);
    }
    if (moves)
        moveRows(written.indices, target.stride, toX, toY, reread.read, origin.stride, fromX, fromY, columns, rows);
    if (written.reference && reread.readReference)
        referenceCopy(written.reference, target.stride, toX, toY, reread.readReference, origin.stride, fromX, fromY,
                      columns, rows);
    return true;
}

bool releaseSurface(Handle surface)
{
    // Records stay where they are (moving one means moving its buffers): a
    // released one is marked free and dropped once no live one lies after it.
    SurfaceRecord* record = findSurface(surface);
    if (!record)
        return false;
    CoreState& s = state();
    if (record->hasContents || !s.surfaceContents.empty())
        s.surfaceContents.erase(surface);
    record->handle = 0;
    std::vector<SurfaceRecord>& surfaces = s.surfaces;
    while (!surfaces.empty() && surfaces.back().handle == 0)
        surfaces.pop_back();
    return true;
}

}  // namespace platform
