// Drawing surfaces and block copies: a window's client area on the screen or
// an off-screen surface pointing at a picture, and the copies between them.
#include "platform/Core.h"

#include <algorithm>

namespace platform::core {

namespace {

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

// Copies from `origin` onto the screen where drawing on `window` may land;
// while no pixels are drawn it only marks the screen changed. `isPicture`:
// the origin is a picture's own pixels, which the backing tracker may
// recognise again.
inline void copyOntoWindow(const WindowRecord& window, int x, int y, int width, int height, const SurfaceView& origin,
                           int sourceX, int sourceY, bool isPicture)
{
    CoreState& s = state();
    window.drawnAt = s.paintSerial;
    if (!s.drawsPixels) {
        // Where pixels would land is pixel work too; what matters is that the screen changed.
        markScreenChanged();
        return;
    }
    const Rect drawable = drawableRect(window);
    if (!origin.read || width <= 0 || height <= 0 || isEmpty(drawable))
        return;  // a hidden control's draws land nowhere
    const Rect client = screenRectOf(window);
    const Rect usable = offset(drawable, -client.left, -client.top);
    // Only pixels that exist in the source and may be drawn in the window move.
    const Rect wanted = intersect({sourceX, sourceY, sourceX + width, sourceY + height}, origin.usable);
    const Rect area = intersect(offset(wanted, x - sourceX, y - sourceY), usable);
    if (isEmpty(area))
        return;
    markScreenChanged();
    const int fromX = area.left - x + sourceX + origin.originX;
    const int fromY = area.top - y + sourceY + origin.originY;
    const int toX = area.left + client.left;
    const int toY = area.top + client.top;
    const int columns = area.right - area.left;
    const int rows = area.bottom - area.top;
    const PictureSpot spot{origin.read, origin.stride, fromX, fromY};
    if (prepareScreenWrite({toX, toY, toX + columns, toY + rows}, isPicture ? &spot : nullptr))
        moveRows(s.screen.pixels.data(), s.screen.width, toX, toY, origin.read, origin.stride, fromX, fromY, columns,
                 rows);
    if (!s.screen.reference.empty() && origin.readReference)
        referenceCopy(s.screen.reference.data(), s.screen.width, toX, toY, origin.readReference, origin.stride, fromX,
                      fromY, columns, rows);
}

// A picture's pixels as the reference path draws them, resolved for one draw.
const std::uint32_t* referenceOf(const Image& image)
{
    std::vector<std::uint32_t>& pixels = state().imageReference;
    pixels.clear();
    for (int i = 0; i < image.width * image.height; ++i)
        pixels.push_back(resources::paletteColor(image.pixels[i]));
    return pixels.data();
}

}  // namespace

}  // namespace platform::core

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
    if (to->window != 0) {
        const WindowRecord* window = findWindow(to->window);
        if (!window)
            return true;
        if (s.drawsPixels && from->window != 0)
            settleScreen();  // the screen is read
        const bool isPicture = from->window == 0 && !from->hasContents;
        copyOntoWindow(*window, x, y, width, height, s.drawsPixels ? viewOf(*from) : SurfaceView{}, sourceX, sourceY,
                       isPicture);
        return true;
    }
    if (!s.drawsPixels)
        return true;
    if (from->window != 0)
        settleScreen();
    const SurfaceView origin = viewOf(*from);
    const SurfaceView target = viewOf(*to);
    if (!origin.read || width <= 0 || height <= 0)
        return true;

    // Only pixels that exist in the source and may be drawn in the destination move.
    Rect wanted = intersect({sourceX, sourceY, sourceX + width, sourceY + height}, origin.usable);
    Rect area = intersect(offset(wanted, x - sourceX, y - sourceY), target.usable);
    if (isEmpty(area))
        return true;
    const WritableView written = writableView(*to);
    // The source again: a surface copied onto itself may just have got contents of its own.
    const SurfaceView reread = from == to ? viewOf(*from) : origin;
    const int fromX = area.left - x + sourceX + origin.originX;
    const int fromY = area.top - y + sourceY + origin.originY;
    const int columns = area.right - area.left;
    const int rows = area.bottom - area.top;
    moveRows(written.indices, target.stride, area.left, area.top, reread.read, origin.stride, fromX, fromY, columns,
             rows);
    if (written.reference && reread.readReference)
        referenceCopy(written.reference, target.stride, area.left, area.top, reread.readReference, origin.stride, fromX,
                      fromY, columns, rows);
    return true;
}

bool drawImage(Handle window, int x, int y, int width, int height, const Image* image, int sourceX, int sourceY)
{
    const WindowRecord* target = findWindow(window);
    if (!target || !image || !image->pixels)
        return false;
    if (!state().drawsPixels) {
        target->drawnAt = state().paintSerial;  // as copyOntoWindow would
        markScreenChanged();
        return true;
    }
    // Many draws go to controls hidden at the time; they land nowhere.
    if (isEmpty(drawableRect(*target)))
        return true;
    SurfaceView origin;
    origin.usable = {0, 0, std::max(0, image->width), std::max(0, image->height)};
    origin.stride = image->width;
    origin.read = image->pixels;
    if (keepsReferencePixels())
        origin.readReference = referenceOf(*image);
    copyOntoWindow(*target, x, y, width, height, origin, sourceX, sourceY, true);
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
