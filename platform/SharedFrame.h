// The window's pixels in memory shared with a local X server. The SDL back
// end draws into them and hands rows over without waiting for the server to
// take them (SDL's window surface waits for every update); the wait, if any,
// comes before the pixels are next written, and by then the server has long
// finished. Used only on a local X11 display whose server shares memory;
// the back end draws through SDL's window surface everywhere else.
#pragma once

#include <cstdint>
#include <memory>

struct SDL_Window;
struct SDL_PixelFormat;
union SDL_Event;

namespace platform::sdl {

class SharedFrame {
public:
    // Nothing (and nothing sent to any server) unless the window is on a
    // local X11 display that can share memory and shows 32-bit pixels.
    static std::unique_ptr<SharedFrame> open(SDL_Window* window);
    virtual ~SharedFrame() = default;

    struct Pixels {
        std::uint8_t* data;
        int pitch;  // bytes from one line to the next
        int width;
        int height;
        const SDL_PixelFormat* format;  // 32 bits a pixel
    };

    // Pixels the size of the window, safe to write: the server has finished
    // reading what was last handed over. A new size gives new pixels, with
    // nothing in them. Nothing when they cannot be had; the caller then draws
    // another way from here on.
    virtual const Pixels* pixels(int width, int height) = 0;
    // True while the pixels are those of a window of this size.
    virtual bool fits(int width, int height) const = 0;
    // Hands lines [top, top + count) to the server for the window, without waiting.
    virtual void put(int top, int count) = 0;
    // Waits until the server has taken everything handed over.
    virtual void finish() = 0;
    // Takes note of an event SDL passed on from the window system.
    virtual void note(const SDL_Event& event) = 0;
    // Gives the memory back. With the window gone, no request is sent about it.
    virtual void release(bool windowGone) = 0;
};

}  // namespace platform::sdl
