// The desktop window's pixels: shared with a local X server when it can, or
// SDL's window surface, with the palette mapped to their format. Draws a
// frame's changed rows through the frame painter and hands them over.
#pragma once

#include "platform/FramePainter.h"
#include "platform/SharedFrame.h"

#include <SDL.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform::sdl {

class WindowPixels {
public:
    explicit WindowPixels(SDL_Window* window);

    // The 256 colours of the indices, 0xRRGGBB; true when they differ from
    // the last ones, which then draws the next frame whole.
    bool setColours(const std::uint32_t* palette);
    // Draws screen rows [first, last) of `frame` into the window's pixels and
    // shows them: of each row only its span in `spans`, or all of it without
    // them. Pixels that are new or of a new size are drawn whole, bars and all.
    void show(const std::uint8_t* frame, int first, int last, const Span* spans);
    // True when the window's pixels are new, or of a new size, and were drawn whole.
    bool showFresh(const std::uint8_t* frame);
    // The picture beside the screen, or one without indices for none; it is
    // drawn with the next frame drawn whole, or at once by showPanel.
    void setPanel(const Picture& picture);
    // Draws the panel beside `frame` and shows it; the whole window when the
    // panel comes or goes.
    void showPanel(const std::uint8_t* frame);
    // Where the screen and the panel lie in a window of this size.
    Layout layoutFor(int width, int height) const;
    // Shows the window's pixels again as they are (after an expose).
    void showAgain();
    // Waits until the server has the frame (the window appears with its first picture in it).
    void finish();
    // An event SDL passed on from the window system.
    void note(const SDL_Event& event);
    // Gives shared pixels back; with the window gone, no request is sent about it.
    void release(bool windowGone);

private:
    struct Canvas {
        PixelTarget pixels;
        const SDL_PixelFormat* format = nullptr;
        const void* identity = nullptr;  // new pixels, new identity
    };
    bool acquire(Canvas& canvas);
    bool current();
    bool isFresh(const Canvas& canvas) const;

    SDL_Window* window;
    std::unique_ptr<SharedFrame> sharedFrame;  // the window's pixels, when shared with the X server
    std::vector<std::uint8_t> line;            // one screen row, scaled, before it goes to the window
    std::array<std::uint32_t, 256> colours{};  // 0xRRGGBB by index
    std::array<std::uint32_t, 256> mapped{};   // the same in the pixels' format
    const void* mappedFor = nullptr;           // the pixels `mapped` and the bars were made for
    int mappedWidth = 0;
    int mappedHeight = 0;
    Picture panel;             // beside the screen when the window has room
    bool panelPlaced = false;  // the window's pixels hold the panel
};

}  // namespace platform::sdl
