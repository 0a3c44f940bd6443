// The retained device screen: the title bar the platform draws itself, the
// desktop where no window is, plain buttons, and the modal overlays composed
// on top when the screen is shown, so board drawing under an open box never
// damages it and the box never lands in the board's pixels.
#include "platform/Core.h"

#include "platform/PixelFont.h"

namespace platform::core {

// ---- The screen and its bars ------------------------------------------------

void resetScreen()
{
    state().screen.resize(screenWidth, screenHeight, colour::desktop);
    state().backing = {};
    drawTitleBar();
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

const PixelBuffer& composeScreen()
{
    CoreState& s = state();
    settleScreen();
    // Most pauses show a screen with nothing above it: no copy is needed then.
    if (s.overlays.empty())
        return s.screen;
    s.composed.width = s.screen.width;
    s.composed.height = s.screen.height;
    s.composed.pixels = s.screen.pixels;
    s.composed.reference = s.screen.reference;
    for (const Overlay& overlay : s.overlays)
        copyBuffer(s.composed, overlay.rect.left, overlay.rect.top, overlay.image, s.composed.bounds());
    return s.composed;
}

void present()
{
    CoreState& s = state();
    if (!s.screenChanged || !s.drawsPixels || !s.backend->showsFrames())
        return;
    s.screenChanged = false;
    s.backend->present(composeScreen().pixels.data(), screenPalette());
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

std::uint32_t pixel(int x, int y)
{
    return composedAt(
        x, y, [](const core::PixelBuffer& buffer, std::size_t at) { return core::screenPalette()[buffer.pixels[at]]; });
}

std::uint32_t referencePixel(int x, int y)
{
    return composedAt(x, y, [](const core::PixelBuffer& buffer, std::size_t at) {
        return buffer.reference.empty() ? 0u : buffer.reference[at];
    });
}

void presentAgain()
{
    core::markScreenChanged();
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
