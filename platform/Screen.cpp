// The retained device screen: drawing surfaces and block copies, the title
// bar and menu bar the platform draws itself, and the modal overlays that are
// composed on top when the screen is shown, so board drawing under an open
// box never damages it and the box never lands in the board's pixels.
#include "platform/Core.h"

#include "platform/PixelFont.h"

#include <algorithm>
#include <array>

namespace platform::core {

namespace {

// A surface's pixels in its own coordinates: the client area of a window
// (only where drawing on it may land), or an off-screen bitmap.
struct SurfaceView {
    Rect usable{};       // in surface coordinates
    int originX = 0;     // surface (0, 0) on the target buffer
    int originY = 0;
    PixelBuffer* target = nullptr;
};

SurfaceView viewOf(SurfaceRecord& surface)
{
    SurfaceView view;
    if (surface.window == 0) {
        view.usable = surface.image.bounds();
        view.target = &surface.image;
        return view;
    }
    const WindowRecord* window = findWindow(surface.window);
    if (!window)
        return view;
    Rect client = screenRectOf(*window);
    view.originX = client.left;
    view.originY = client.top;
    view.usable = offset(drawableRect(*window), -client.left, -client.top);
    view.target = &state().screen;
    return view;
}

void copyBuffer(PixelBuffer& target, int x, int y, const PixelBuffer& source, Rect clip)
{
    Rect area = intersect(intersect({x, y, x + source.width, y + source.height}, clip), target.bounds());
    const int count = area.right - area.left;
    for (int row = area.top; row < area.bottom; ++row)
        std::copy_n(source.pixels.begin() + ((row - y) * source.width + (area.left - x)), count,
                    target.pixels.begin() + (row * target.width + area.left));
}

}  // namespace

// ---- Pixels ---------------------------------------------------------------

void PixelBuffer::resize(int w, int h, std::uint32_t colour)
{
    width = std::max(0, w);
    height = std::max(0, h);
    pixels.assign(static_cast<std::size_t>(width * height), colour);
}

void fillRect(PixelBuffer& target, Rect r, std::uint32_t colour)
{
    r = intersect(r, target.bounds());
    for (int y = r.top; y < r.bottom; ++y)
        std::fill_n(target.pixels.begin() + y * target.width + r.left, r.right - r.left, colour);
}

void frameRect(PixelBuffer& target, Rect r, std::uint32_t colour)
{
    fillRect(target, {r.left, r.top, r.right, r.top + 1}, colour);
    fillRect(target, {r.left, r.bottom - 1, r.right, r.bottom}, colour);
    fillRect(target, {r.left, r.top, r.left + 1, r.bottom}, colour);
    fillRect(target, {r.right - 1, r.top, r.right, r.bottom}, colour);
}

void drawText(PixelBuffer& target, int x, int y, std::string_view text, std::uint32_t colour, bool bold)
{
    for (int pass = 0; pass < (bold ? 2 : 1); ++pass) {
        int left = x + pass;
        for (char c : text) {
            for (int row = 0; row < font::cellHeight; ++row) {
                for (int column = 0; column < font::widthOf(c); ++column) {
                    if (font::hasInk(c, column, row) && contains(target.bounds(), left + column, y + row))
                        target.pixels[static_cast<std::size_t>((y + row) * target.width + left + column)] = colour;
                }
            }
            left += font::advanceOf(c);
        }
    }
}

void drawBitmap(PixelBuffer& target, int x, int y, const resources::Bitmap& bitmap)
{
    Rect area = intersect({x, y, x + bitmap.width, y + bitmap.height}, target.bounds());
    for (int row = area.top; row < area.bottom; ++row) {
        for (int column = area.left; column < area.right; ++column)
            target.pixels[static_cast<std::size_t>(row * target.width + column)] = resources::paletteColor(
                bitmap.pixels[static_cast<std::size_t>((row - y) * bitmap.width + (column - x))]);
    }
}

// ---- The screen and its bars ------------------------------------------------

void resetScreen()
{
    state().screen.resize(screenWidth, screenHeight, colour::desktop);
    drawTitleBar();
}

void markScreenChanged() { state().screenChanged = true; }

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

void pushOverlay(Overlay overlay)
{
    state().overlays.push_back(std::move(overlay));
    markScreenChanged();
}

Overlay& topOverlay() { return state().overlays.back(); }

void popOverlay()
{
    CoreState& s = state();
    if (s.overlays.empty())
        return;
    Rect area = s.overlays.back().rect;
    s.overlays.pop_back();
    // The screen under it is intact, but the program may have drawn there
    // expecting to be covered, so it repaints the way a window system would.
    invalidateScreen(area);
    markScreenChanged();
}

void present()
{
    CoreState& s = state();
    if (!s.screenChanged)
        return;
    s.screenChanged = false;
    // Most pauses show a screen with nothing above it: no copy is needed then.
    if (s.overlays.empty()) {
        s.backend->present(s.screen.pixels.data());
        return;
    }
    PixelBuffer composed = s.screen;
    for (const Overlay& overlay : s.overlays)
        copyBuffer(composed, overlay.rect.left, overlay.rect.top, overlay.image, composed.bounds());
    s.backend->present(composed.pixels.data());
}

}  // namespace platform::core

namespace platform::backend {

std::uint32_t composedPixel(int x, int y)
{
    const core::CoreState& s = core::state();
    if (!core::contains(s.screen.bounds(), x, y))
        return 0;
    for (auto it = s.overlays.rbegin(); it != s.overlays.rend(); ++it) {
        if (core::contains(it->rect, x, y))
            return it->image.pixels[static_cast<std::size_t>((y - it->rect.top) * it->image.width + x - it->rect.left)];
    }
    return s.screen.pixels[static_cast<std::size_t>(y * s.screen.width + x)];
}

}  // namespace platform::backend

namespace platform {

using namespace core;

Handle getDrawingSurface(Handle window)
{
    if (!findWindow(window))
        return 0;
    Handle handle = newHandle();
    state().surfaces[handle].window = window;
    return handle;
}

Handle createCompatibleSurface(Handle surface)
{
    CoreState& s = state();
    if (surface != 0 && !s.surfaces.contains(surface))
        return 0;
    Handle handle = newHandle();
    // A fresh off-screen surface holds one black pixel until an image is selected.
    s.surfaces[handle].image.resize(1, 1, 0);
    return handle;
}

bool selectImage(Handle surface, const Image* image)
{
    auto it = state().surfaces.find(surface);
    if (it == state().surfaces.end() || it->second.window != 0 || !image || !image->pixels)
        return false;
    // The palette never changes; one lookup table keeps this from dominating every card drawn.
    static const std::array<std::uint32_t, 256> colours = [] {
        std::array<std::uint32_t, 256> table{};
        for (std::size_t index = 0; index < table.size(); ++index)
            table[index] = resources::paletteColor(static_cast<std::uint8_t>(index));
        return table;
    }();
    PixelBuffer& target = it->second.image;
    target.resize(image->width, image->height, 0);
    std::uint32_t* out = target.pixels.data();
    for (std::size_t i = 0; i < target.pixels.size(); ++i)
        out[i] = colours[image->pixels[i]];
    return true;
}

bool blockCopy(Handle destination, int x, int y, int width, int height, Handle source, int sourceX, int sourceY)
{
    CoreState& s = state();
    auto to = s.surfaces.find(destination);
    auto from = s.surfaces.find(source);
    if (to == s.surfaces.end() || from == s.surfaces.end())
        return false;
    SurfaceView target = viewOf(to->second);
    SurfaceView origin = viewOf(from->second);
    if (!target.target || !origin.target || width <= 0 || height <= 0)
        return true;

    // Only pixels that exist in the source and may be drawn in the destination move.
    Rect wanted = intersect({sourceX, sourceY, sourceX + width, sourceY + height}, origin.usable);
    Rect area = intersect(offset(wanted, x - sourceX, y - sourceY), target.usable);
    if (isEmpty(area))
        return true;

    // Row by row; through a copy when source and destination are one buffer (both the screen).
    const int fromLeft = area.left - x + sourceX + origin.originX;
    const int fromTop = area.top - y + sourceY + origin.originY;
    const Rect moved{fromLeft, fromTop, fromLeft + area.right - area.left, fromTop + area.bottom - area.top};
    if (origin.target == target.target) {
        PixelBuffer block;
        block.resize(moved.right - moved.left, moved.bottom - moved.top, 0);
        copyBuffer(block, -moved.left, -moved.top, *origin.target, block.bounds());
        copyBuffer(*target.target, area.left + target.originX, area.top + target.originY, block,
                   target.target->bounds());
    } else {
        copyBuffer(*target.target, area.left + target.originX - moved.left, area.top + target.originY - moved.top,
                   *origin.target,
                   offset(area, target.originX, target.originY));
    }
    if (to->second.window != 0)
        markScreenChanged();
    return true;
}

bool releaseSurface(Handle surface) { return state().surfaces.erase(surface) > 0; }

}  // namespace platform
