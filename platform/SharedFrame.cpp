// The window's pixels shared with a local X server (see SharedFrame.h).
#include "platform/SharedFrame.h"

#include <SDL.h>
#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <dlfcn.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstring>
#endif

namespace platform::sdl {

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

// SDL loads Xlib and its extension library itself; the functions come from
// the copies it loaded, so the program needs neither to start.
struct Xlib {
    decltype(&XQueryExtension) queryExtension;
    decltype(&XGetWindowAttributes) getWindowAttributes;
    decltype(&XCreateGC) createGC;
    decltype(&XFreeGC) freeGC;
    decltype(&XSync) sync;
    decltype(&XFlush) flush;
    decltype(&XCheckIfEvent) checkIfEvent;
    decltype(&XSetErrorHandler) setErrorHandler;
    decltype(&XShmCreateImage) shmCreateImage;
    decltype(&XShmAttach) shmAttach;
    decltype(&XShmDetach) shmDetach;
    decltype(&XShmPutImage) shmPutImage;
};

template <class Function>
bool load(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

bool loadXlib(Xlib& x)
{
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    void* xext = dlopen("libXext.so.6", RTLD_LAZY | RTLD_NOLOAD);
    // Both stay loaded as long as SDL runs; the handles are kept for good.
    return xlib && xext && load(xlib, "XQueryExtension", x.queryExtension) &&
           load(xlib, "XGetWindowAttributes", x.getWindowAttributes) && load(xlib, "XCreateGC", x.createGC) &&
           load(xlib, "XFreeGC", x.freeGC) && load(xlib, "XSync", x.sync) && load(xlib, "XFlush", x.flush) &&
           load(xlib, "XCheckIfEvent", x.checkIfEvent) && load(xlib, "XSetErrorHandler", x.setErrorHandler) &&
           load(xext, "XShmCreateImage", x.shmCreateImage) && load(xext, "XShmAttach", x.shmAttach) &&
           load(xext, "XShmDetach", x.shmDetach) && load(xext, "XShmPutImage", x.shmPutImage);
}

// A server elsewhere would attach a segment of its own machine by our number.
bool isLocal(Display* display)
{
    const char* name = DisplayString(display);
    return name && (name[0] == ':' || std::strncmp(name, "unix:", 5) == 0);
}

bool littleEndian()
{
    const std::uint16_t probe = 1;
    std::uint8_t first = 0;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

// Refusals of an attach are expected (a server in another IPC namespace);
// any other error goes where it went before.
int shmMajorOpcode = 0;
bool attachRefused = false;
XErrorHandler handlerBeforeAttach = nullptr;

int noteAttachRefused(Display* display, XErrorEvent* error)
{
    if (error->request_code == shmMajorOpcode) {
        attachRefused = true;
        return 0;
    }
    return handlerBeforeAttach ? handlerBeforeAttach(display, error) : 0;
}

class XShmFrame final : public SharedFrame {
public:
    XShmFrame(const Xlib& x, Display* display, Window window, Visual* visual, int depth, int completionType,
              SDL_PixelFormat* format)
        : x(x), display(display), window(window), visual(visual), depth(depth), completionType(completionType),
          format(format)
    {
        gc = x.createGC(display, window, 0, nullptr);
    }

    ~XShmFrame() override
    {
        release(false);
        SDL_FreeFormat(format);
    }

    const Pixels* pixels(int width, int height) override
    {
        if (!gc)
            return nullptr;
        if (fits(width, height)) {
            waitForServer();
            return &current;
        }
        dropImage(true);
        return makeImage(width, height) ? &current : nullptr;
    }

    bool fits(int width, int height) const override
    {
        return image && current.width == width && current.height == height;
    }

    void put(int top, int count) override
    {
        if (!image)
            return;
        top = std::max(top, 0);
        count = std::min(count, current.height - top);
        if (count <= 0)
            return;
        // The server sends a completion event once it has read the pixels.
        x.shmPutImage(display, window, gc, image, 0, top, 0, top, static_cast<unsigned>(current.width),
                      static_cast<unsigned>(count), True);
        x.flush(display);
        ++unfinished;
    }

    void finish() override
    {
        if (gc)
            x.sync(display, False);
        unfinished = 0;
        dropCompletions();
    }

    void note(const SDL_Event& event) override
    {
        if (event.type != SDL_SYSWMEVENT || !event.syswm.msg || event.syswm.msg->subsystem != SDL_SYSWM_X11)
            return;
        if (isOurCompletion(event.syswm.msg->msg.x11.event) && unfinished > 0)
            --unfinished;
    }

    void release(bool windowGone) override
    {
        if (windowGone) {
            // No request about the window may go out: the server tidies up.
            gc = nullptr;
            dropImage(false);
            return;
        }
        dropImage(true);
        if (gc) {
            x.freeGC(display, gc);
            x.sync(display, False);
            gc = nullptr;
        }
    }

private:
    bool isOurCompletion(const XEvent& event) const
    {
        return event.type == completionType &&
               reinterpret_cast<const XShmCompletionEvent&>(event).drawable == static_cast<Drawable>(window);
    }

    static Bool matchCompletion(Display*, XEvent* event, XPointer frame)
    {
        return reinterpret_cast<const XShmFrame*>(frame)->isOurCompletion(*event) ? True : False;
    }

    // Takes the completions already here, without waiting for any.
    void dropCompletions()
    {
        XEvent event;
        while (x.checkIfEvent(display, &event, matchCompletion, reinterpret_cast<XPointer>(this)))
            unfinished = std::max(0, unfinished - 1);
    }

    // The server may still be reading the pixels only while a put has not
    // been reported finished; a round trip settles that for certain (a put
    // that failed sends no completion).
    void waitForServer()
    {
        if (unfinished == 0)
            return;
        dropCompletions();
        if (unfinished > 0)
            finish();
    }

    bool makeImage(int width, int height)
    {
        XShmSegmentInfo& info = segment;
        info = {};
        info.shmid = -1;
        image = x.shmCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &info,
                                 static_cast<unsigned>(width), static_cast<unsigned>(height));
        if (!image)
            return false;
        if (image->bits_per_pixel != 32 || image->byte_order != (littleEndian() ? LSBFirst : MSBFirst) ||
            image->bytes_per_line < width * 4) {
            dropImage(false);
            return false;
        }
        const auto bytes = static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(height);
        info.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (info.shmid < 0) {
            dropImage(false);
            return false;
        }
        void* address = shmat(info.shmid, nullptr, 0);
        // Marked for removal at once: it goes when both sides have let go,
        // however this process ends.
        shmctl(info.shmid, IPC_RMID, nullptr);
        if (address == reinterpret_cast<void*>(-1)) {
            info.shmid = -1;
            dropImage(false);
            return false;
        }
        info.shmaddr = static_cast<char*>(address);
        image->data = info.shmaddr;
        info.readOnly = False;

        attachRefused = false;
        handlerBeforeAttach = x.setErrorHandler(noteAttachRefused);
        const Bool sent = x.shmAttach(display, &info);
        x.sync(display, False);
        x.setErrorHandler(handlerBeforeAttach);
        attached = sent && !attachRefused;
        if (!attached) {
            dropImage(false);
            return false;
        }
        current = {reinterpret_cast<std::uint8_t*>(image->data), image->bytes_per_line, width, height, format};
        return true;
    }

    // With `tellServer`, waits until the server is done with the pixels and
    // lets it detach them first.
    void dropImage(bool tellServer)
    {
        if (!image)
            return;
        if (tellServer && attached) {
            x.shmDetach(display, &segment);
            finish();
        }
        attached = false;
        if (segment.shmaddr)
            shmdt(segment.shmaddr);
        segment = {};
        // The pixels were never Xlib's to free.
        image->data = nullptr;
        image->f.destroy_image(image);
        image = nullptr;
        current = {};
        unfinished = 0;
    }

    Xlib x;
    Display* display;
    Window window;
    Visual* visual;
    int depth;
    int completionType;
    SDL_PixelFormat* format;
    GC gc = nullptr;
    XImage* image = nullptr;
    XShmSegmentInfo segment{};
    bool attached = false;
    int unfinished = 0;  // puts handed over and not yet reported done
    Pixels current{};
};

}  // namespace

std::unique_ptr<SharedFrame> SharedFrame::open(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return nullptr;
    Display* display = info.info.x11.display;
    Xlib x{};
    if (!display || !isLocal(display) || !loadXlib(x))
        return nullptr;
    int major = 0;
    int firstEvent = 0;
    int firstError = 0;
    if (!x.queryExtension(display, "MIT-SHM", &major, &firstEvent, &firstError))
        return nullptr;
    // SDL may give the window a direct-colour visual, with ramps it sets up
    // to show pixels as a true-colour visual would.
    XWindowAttributes attributes{};
    if (!x.getWindowAttributes(display, info.info.x11.window, &attributes) || !attributes.visual ||
        (attributes.visual->c_class != TrueColor && attributes.visual->c_class != DirectColor) ||
        (attributes.depth != 24 && attributes.depth != 32))
        return nullptr;
    const Visual& visual = *attributes.visual;
    const Uint32 formatName =
        SDL_MasksToPixelFormatEnum(32, static_cast<Uint32>(visual.red_mask), static_cast<Uint32>(visual.green_mask),
                                   static_cast<Uint32>(visual.blue_mask), 0);
    SDL_PixelFormat* format = formatName == SDL_PIXELFORMAT_UNKNOWN ? nullptr : SDL_AllocFormat(formatName);
    if (!format)
        return nullptr;
    shmMajorOpcode = major;
    return std::make_unique<XShmFrame>(x, display, info.info.x11.window, attributes.visual, attributes.depth,
                                       firstEvent + ShmCompletion, format);
}

#else

std::unique_ptr<SharedFrame> SharedFrame::open(SDL_Window*)
{
    return nullptr;
}

#endif

}  // namespace platform::sdl
