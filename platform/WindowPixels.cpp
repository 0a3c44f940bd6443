// The desktop window's pixels (see WindowPixels.h).
#include "platform/WindowPixels.h"

#include "platform/X11Watch.h"

#include <algorithm>

namespace platform::sdl {

WindowPixels::WindowPixels(SDL_Window* window) : window(window), sharedFrame(SharedFrame::open(window)) {}

bool WindowPixels::setColours(const std::uint32_t* palette)
{
    if (std::equal(colours.begin(), colours.end(), palette))
        return false;
    std::copy_n(palette, colours.size(), colours.begin());
    mappedFor = nullptr;
    return true;
}

// Pixels to draw into, or false when there are none to be had. Shared
// pixels that fail are given up for good, for the window surface.
bool WindowPixels::acquire(Canvas& canvas)
{
    if (sharedFrame) {
        int width = 0;
        int height = 0;
        SDL_GetWindowSize(window, &width, &height);
        if (width <= 0 || height <= 0)
            return false;
        if (const SharedFrame::Pixels* pixels = sharedFrame->pixels(width, height)) {
            canvas = {{pixels->data, pixels->pitch, pixels->width, pixels->height, 4}, pixels->format, pixels->data};
            return true;
        }
        sharedFrame->release(windowGone);
        sharedFrame.reset();
    }
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (!target)
        return false;
    canvas = {{static_cast<std::uint8_t*>(target->pixels), target->pitch, target->w, target->h,
               target->format->BytesPerPixel},
              target->format,
              target};
    return true;
}

// True when what was last drawn is what the window needs at its size now.
bool WindowPixels::current()
{
    if (sharedFrame) {
        int width = 0;
        int height = 0;
        SDL_GetWindowSize(window, &width, &height);
        return sharedFrame->fits(width, height) && mappedWidth == width && mappedHeight == height &&
               layoutFor(width, height).panel == panelPlaced;
    }
    SDL_Surface* target = SDL_GetWindowSurface(window);
    return target && target == mappedFor && target->w == mappedWidth && target->h == mappedHeight &&
           layoutFor(target->w, target->h).panel == panelPlaced;
}

bool WindowPixels::isFresh(const Canvas& canvas) const
{
    const PixelTarget& pixels = canvas.pixels;
    return canvas.identity != mappedFor || pixels.width != mappedWidth || pixels.height != mappedHeight ||
           layoutFor(pixels.width, pixels.height).panel != panelPlaced;
}

Layout WindowPixels::layoutFor(int width, int height) const
{
    return layOut(width, height, panel.indices ? panel.columns : 0);
}

void WindowPixels::setPanel(const Picture& picture)
{
    panel = picture;
}

void WindowPixels::showPanel(const std::uint8_t* frame)
{
    Canvas target;
    if (!acquire(target))
        return;
    const PixelTarget& pixels = target.pixels;
    if (isFresh(target)) {
        show(frame, 0, screenHeight, nullptr);
        return;
    }
    const Layout layout = layoutFor(pixels.width, pixels.height);
    if (!layout.panel || (pixels.bytes != 4 && pixels.bytes != 2))
        return;
    SDL_Surface* surface = sharedFrame ? nullptr : SDL_GetWindowSurface(window);
    if (surface && SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
        return;
    paintPicture(pixels, layout.panelLeft, layout.board.top, layout.board.factor, panel, mapped.data(), line);
    if (surface && SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    const int top = std::max(0, layout.board.top);
    const int bottom = std::min(pixels.height, layout.board.top + panel.rows * layout.board.factor);
    if (bottom <= top)
        return;
    if (sharedFrame) {
        sharedFrame->put(top, bottom - top);
    } else {
        const SDL_Rect rows{0, top, pixels.width, bottom - top};
        SDL_UpdateWindowSurfaceRects(window, &rows, 1);
    }
}

void WindowPixels::showAgain()
{
    if (sharedFrame)
        sharedFrame->put(0, mappedHeight);
    else
        SDL_UpdateWindowSurface(window);
}

bool WindowPixels::showFresh(const std::uint8_t* frame)
{
    if (current())
        return false;
    show(frame, 0, screenHeight, nullptr);
    return true;
}

void WindowPixels::show(const std::uint8_t* frame, int first, int last, const Span* spans)
{
    Canvas target;
    if (!acquire(target))
        return;
    const PixelTarget& pixels = target.pixels;
    if (pixels.bytes != 4 && pixels.bytes != 2)
        return;
    const bool fresh = isFresh(target);
    const Layout layout = layoutFor(pixels.width, pixels.height);
    if (fresh) {
        for (std::size_t i = 0; i < colours.size(); ++i)
            mapped[i] = SDL_MapRGB(target.format, static_cast<Uint8>(colours[i] >> 16),
                                   static_cast<Uint8>(colours[i] >> 8), static_cast<Uint8>(colours[i]));
        mappedFor = target.identity;
        mappedWidth = pixels.width;
        mappedHeight = pixels.height;
        panelPlaced = layout.panel;
        first = 0;
        last = screenHeight;
        spans = nullptr;
    }
    if (first >= last)
        return;
    const Fit& fit = layout.board;
    SDL_Surface* surface = sharedFrame ? nullptr : SDL_GetWindowSurface(window);
    if (surface && SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
        return;
    if (fresh) {
        fillBars(pixels, fit, SDL_MapRGB(target.format, 0, 0, 0));
        if (layout.panel)
            paintPicture(pixels, layout.panelLeft, fit.top, fit.factor, panel, mapped.data(), line);
    }
    paintRows(pixels, fit, frame, mapped.data(), first, last, spans, line);
    if (surface && SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    const int top = fresh ? 0 : std::max(0, fit.top + first * fit.factor);
    const int bottom = fresh ? pixels.height : std::min(pixels.height, fit.top + last * fit.factor);
    if (bottom <= top)
        return;
    if (sharedFrame) {
        sharedFrame->put(top, bottom - top);
    } else if (fresh) {
        SDL_UpdateWindowSurface(window);
    } else {
        const SDL_Rect rows{0, top, pixels.width, bottom - top};
        SDL_UpdateWindowSurfaceRects(window, &rows, 1);
    }
}

void WindowPixels::finish()
{
    if (sharedFrame)
        sharedFrame->finish();
}

void WindowPixels::note(const SDL_Event& event)
{
    if (sharedFrame)
        sharedFrame->note(event);
}

void WindowPixels::release(bool windowGone)
{
    if (sharedFrame) {
        sharedFrame->release(windowGone);
        sharedFrame.reset();
    }
}

}  // namespace platform::sdl
