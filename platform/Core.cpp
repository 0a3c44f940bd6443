// The platform core: its state, the message queue and dispatch, repainting of
// invalidated areas, accelerators, resources by id, time, the generator and
// the process.
#include "platform/Core.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace platform::core {

static_assert(resources::acceleratorKeyF2 == keyF2, "the accelerator table and the key messages must agree on F2");

namespace {

// Stands in until a back end is installed: no input, no screen, no time.
class NullBackend final : public backend::Backend {
public:
    bool waitForInput() override { return false; }
    void present(const std::uint8_t*, const std::uint32_t*) override {}
    void waitUnits(int) override {}
    int localSeconds() override { return 0; }
    void exitProcess(int) override {}
    std::string instanceDirectory() override { return {}; }
    RaiseHandler raiseHandler() override { return nullptr; }
};

std::unique_ptr<CoreState> coreState;

Rect screenArea()
{
    // The menu bar lies over the bottom of the windows and takes their taps and drawing there.
    bool hasMenuBar = !state().menuBars.empty();
    return {0, titleBarHeight, screenWidth, hasMenuBar ? menuBarTop : screenHeight};
}

void resolveInputWindow(Message& message)
{
    if (message.msg == Msg::tap)
        message.window = topLevelAt(static_cast<int>(message.wparam), static_cast<int>(message.lparam));
    else if (message.msg == Msg::keyDown)
        message.window = focusWindow();
}

Handle controlAt(Handle topLevel, int x, int y)
{
    const CoreState& s = state();
    const WindowRecord* parent = findWindow(topLevel);
    for (auto it = s.zOrder.rbegin(); it != s.zOrder.rend(); ++it) {
        const WindowRecord* control = findWindow(*it);
        if (control && control->kind == WindowKind::control && control->parent == topLevel && control->visible &&
            contains(intersect(screenRectOf(*control), parent->rect), x, y))
            return *it;
    }
    return 0;
}

Param dispatchTap(int x, int y, bool topLevelInput)
{
    if (handleMenuBarTap(x, y))
        return 0;
    Handle window = topLevelAt(x, y);
    Handle control = window ? controlAt(window, x, y) : 0;
    int controlId = control ? findWindow(control)->id : 0;
    if (topLevelInput)
        currentBackend().tapTaken(controlId);
    if (!window)
        return 0;
    if (control)
        return sendMessage(window, Msg::command, makeCommandParam(controlId, 0), control);
    return sendMessage(window, Msg::tap, x, y);
}

bool sameMessage(const Message& a, const Message& b)
{
    return a.window == b.window && a.msg == b.msg && a.wparam == b.wparam && a.lparam == b.lparam;
}

}  // namespace

// ---- Geometry -------------------------------------------------------------

Rect unite(const Rect& a, const Rect& b)
{
    if (isEmpty(a))
        return b;
    if (isEmpty(b))
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// ---- Input ----------------------------------------------------------------

bool isKey(const Message& message, Param key)
{
    return message.msg == Msg::keyDown && !(message.lparam & modifierControl) && message.wparam == key;
}

bool isLetter(const Message& message, char upper)
{
    return message.msg == Msg::keyDown && !(message.lparam & modifierControl) && message.wparam >= 0 &&
           message.wparam < 128 && std::toupper(static_cast<int>(message.wparam)) == upper;
}

bool isTapIn(const Message& message, const Rect& area)
{
    return message.msg == Msg::tap &&
           contains(area, static_cast<int>(message.wparam), static_cast<int>(message.lparam));
}

// ---- State ----------------------------------------------------------------

CoreState* currentState = nullptr;

CoreState& makeState()
{
    coreState = std::make_unique<CoreState>();
    currentState = coreState.get();
    coreState->backend = std::make_unique<NullBackend>();
    resetScreen();
    return *coreState;
}

backend::Backend& currentBackend()
{
    return *state().backend;
}

namespace {

// Records found lately, by handle; map nodes stay put until erased, and
// erasing, installing and restoring forget them all.
struct RememberedWindow {
    Handle handle = 0;
    WindowRecord* record = nullptr;
};
std::array<RememberedWindow, 64> rememberedWindows{};

void forgetWindows()
{
    rememberedWindows.fill({});
}

// A list of handles to walk while window procedures run and may create or
// destroy windows. Walks nest (a procedure may repaint), so each level has
// its own list; the lists keep their memory, so repainting allocates nothing
// once every level has been used.
class HandleList {
public:
    HandleList()
    {
        if (lists.size() <= depth)
            lists.emplace_back();
        list = &lists[depth++];
        list->clear();
    }
    ~HandleList() { --depth; }
    HandleList(const HandleList&) = delete;
    HandleList& operator=(const HandleList&) = delete;

    std::vector<Handle>& handles() { return *list; }

private:
    static inline std::deque<std::vector<Handle>> lists;  // a deque keeps each level's list in place
    static inline std::size_t depth = 0;
    std::vector<Handle>* list;
};

}  // namespace

WindowRecord* findWindow(Handle handle)
{
    RememberedWindow& remembered = rememberedWindows[static_cast<std::size_t>(handle) % rememberedWindows.size()];
    if (remembered.handle == handle && remembered.record)
        return remembered.record;
    auto& windows = state().windows;
    auto it = windows.find(handle);
    if (it == windows.end())
        return nullptr;
    remembered = {handle, &it->second};
    return &it->second;
}

namespace {
constexpr std::size_t spareWindowLimit = 32;
std::vector<std::map<Handle, WindowRecord>::node_type> spareWindows;
}  // namespace

void addWindow(Handle handle, WindowRecord&& window)
{
    std::map<Handle, WindowRecord>& windows = state().windows;
    if (spareWindows.empty()) {
        windows.emplace(handle, std::move(window));
        return;
    }
    auto node = std::move(spareWindows.back());
    spareWindows.pop_back();
    node.key() = handle;
    node.mapped() = std::move(window);
    windows.insert(std::move(node));
}

void eraseWindow(Handle handle)
{
    forgetWindows();
    auto node = state().windows.extract(handle);
    if (node && spareWindows.size() < spareWindowLimit) {
        if (spareWindows.capacity() == 0)
            spareWindows.reserve(spareWindowLimit);
        spareWindows.push_back(std::move(node));
    }
}

SurfaceRecord* findSurface(Handle handle)
{
    // Newest first: a picture's two surfaces live only while it is drawn.
    if (handle == 0)
        return nullptr;  // marks a released record
    std::vector<SurfaceRecord>& surfaces = state().surfaces;
    for (auto it = surfaces.rbegin(); it != surfaces.rend(); ++it) {
        if (it->handle == handle)
            return &*it;
    }
    return nullptr;
}

Handle newHandle()
{
    return state().nextHandle++;
}

Handle topLevelAt(int x, int y)
{
    const CoreState& s = state();
    for (auto it = s.zOrder.rbegin(); it != s.zOrder.rend(); ++it) {
        const WindowRecord* window = findWindow(*it);
        if (window && window->kind == WindowKind::topLevel && window->visible && contains(window->rect, x, y))
            return *it;
    }
    return 0;
}

Handle focusWindow()
{
    const CoreState& s = state();
    for (auto it = s.zOrder.rbegin(); it != s.zOrder.rend(); ++it) {
        const WindowRecord* window = findWindow(*it);
        if (window && window->kind == WindowKind::topLevel && window->visible)
            return *it;
    }
    return 0;
}

Rect screenRectOf(const WindowRecord& window)
{
    if (window.kind != WindowKind::control)
        return window.rect;
    const WindowRecord* parent = findWindow(window.parent);
    return parent ? offset(window.rect, parent->rect.left, parent->rect.top) : Rect{};
}

Rect drawableRect(const WindowRecord& window)
{
    if (!window.visible)
        return {};
    switch (window.kind) {
    case WindowKind::topLevel:
        return intersect(window.rect, screenArea());
    case WindowKind::control: {
        const WindowRecord* parent = findWindow(window.parent);
        if (!parent || !parent->visible)
            return {};
        return intersect(intersect(screenRectOf(window), parent->rect), screenArea());
    }
    case WindowKind::dialog:
        break;
    }
    return {};
}

void invalidateScreen(Rect area)
{
    if (isEmpty(area))
        return;
    for (auto& [handle, window] : state().windows) {
        if (window.kind == WindowKind::topLevel && window.visible)
            window.invalid = unite(window.invalid, intersect(window.rect, area));
    }
}

void repaintWindow(Handle topLevel)
{
    WindowRecord* window = findWindow(topLevel);
    if (!window || window->kind != WindowKind::topLevel || isEmpty(window->invalid))
        return;
    Rect area = window->invalid;
    window->invalid = {};
    if (!window->visible)
        return;

    Handle surface = getDrawingSurface(topLevel);
    sendMessage(topLevel, Msg::eraseBackground, surface, 0);
    releaseSurface(surface);

    // The procedure may create or destroy controls while it draws, so walk a copy.
    HandleList order;
    order.handles().assign(state().zOrder.begin(), state().zOrder.end());
    for (Handle handle : order.handles()) {
        WindowRecord* control = findWindow(handle);
        if (!control || control->kind != WindowKind::control || control->parent != topLevel || !control->visible)
            continue;
        if (isEmpty(intersect(screenRectOf(*control), area)))
            continue;
        if (control->style & styleOwnerDraw)
            sendMessage(topLevel, Msg::drawItem, control->id, handle);
        else
            paintPlainButton(*control);
    }
}

// Draw items for controls shown or moved since they were last drawn.
bool drawPendingControls()
{
    HandleList order;
    order.handles().assign(state().zOrder.begin(), state().zOrder.end());
    bool any = false;
    for (Handle handle : order.handles()) {
        WindowRecord* control = findWindow(handle);
        if (!control || control->kind != WindowKind::control || !control->needsDraw)
            continue;
        control->needsDraw = false;
        if (!isWindowVisible(handle))
            continue;
        any = true;
        if (control->style & styleOwnerDraw)
            sendMessage(control->parent, Msg::drawItem, control->id, handle);
        else
            paintPlainButton(*control);
    }
    return any;
}

void repaintInvalid()
{
    // Painting may invalidate again (a control shown from a paint handler);
    // a few rounds settle any sane program without risking a loop.
    for (int round = 0; round < 4; ++round) {
        HandleList pending;
        for (const auto& [handle, window] : state().windows) {
            if (window.kind == WindowKind::topLevel && !isEmpty(window.invalid))
                pending.handles().push_back(handle);
        }
        for (Handle handle : pending.handles())
            repaintWindow(handle);
        if (!drawPendingControls() && pending.handles().empty())
            return;
    }
}

// With the queue empty, as before any wait for input: repaint what needs it,
// show the screen, then block until the back end has input. False when the
// process has ended or (headless) no input will come.
bool repaintShowAndWait()
{
    // Under an open box, dialog or pop-up the board is disabled and keeps
    // what it shows; what it has waiting is painted once the modal closes.
    if (state().modalDepth == 0)
        repaintInvalid();
    if (state().exited)
        return false;
    present();
    return currentBackend().waitForInput();
}

ModalScope::ModalScope()
{
    CoreState& s = state();
    // What has arrived so far was made before the modal opened.
    if (!s.exited)
        s.backend->collectInput();
    first = s.nextInputSerial;
    ++s.modalDepth;
}

ModalScope::~ModalScope()
{
    --state().modalDepth;
}

bool takeModalInput(const ModalScope& scope, InputFilter accepts, void* context, Message& message)
{
    CoreState& s = state();
    while (!s.exited) {
        for (auto it = s.queue.begin(); it != s.queue.end();) {
            if (it->origin == Origin::closeButton) {
                platform::exitProcess(0);
                return false;
            }
            Message candidate = it->message;
            resolveInputWindow(candidate);
            if (candidate.msg != Msg::quit && accepts(candidate, context)) {
                s.queue.erase(it);
                message = candidate;
                return true;
            }
            if (it->origin == Origin::input && it->serial >= scope.firstInput())
                it = s.queue.erase(it);
            else
                ++it;
        }
        if (!repaintShowAndWait())
            return false;
    }
    return false;
}

}  // namespace platform::core

namespace platform::backend {

void install(std::unique_ptr<Backend> backend)
{
    core::forgetWindows();
    core::coreState = std::make_unique<core::CoreState>();
    core::currentState = core::coreState.get();
    core::coreState->backend = std::move(backend);
    core::resetScreen();
}

class CoreSnapshot {
public:
    core::CoreData data;
};

void CoreSnapshotDeleter::operator()(CoreSnapshot* snapshot) const
{
    delete snapshot;
}

CoreSnapshotPointer saveCore()
{
    return CoreSnapshotPointer(new CoreSnapshot{core::state()});
}

void restoreCore(const CoreSnapshot& snapshot)
{
    core::forgetWindows();
    // A fresh copy moved in, so everything the core held before is freed and
    // it holds exactly the snapshot's allocations: a fuzzer that restores
    // after every run then sees as many frees as allocations unless a run leaks.
    core::CoreData copy(snapshot.data);
    static_cast<core::CoreData&>(core::state()) = std::move(copy);
}

void queueTap(int x, int y)
{
    core::CoreState& s = core::state();
    s.queue.push_back({{0, Msg::tap, x, y}, core::Origin::input, s.nextInputSerial++});
}

void queueKey(Param key, Param modifiers)
{
    core::CoreState& s = core::state();
    s.queue.push_back({{0, Msg::keyDown, key, modifiers}, core::Origin::input, s.nextInputSerial++});
}

void queueClose()
{
    // A box or menu waiting for an answer cannot let the close path run inside
    // it, and a player closing the window then means it: leave at once.
    if (core::state().modalDepth > 0) {
        platform::exitProcess(0);
        return;
    }
    Handle board = core::focusWindow();
    std::vector<core::Pending>& queue = core::state().queue;
    if (board)
        queue.insert(queue.begin(), {{board, Msg::command, makeCommandParam(1, 0), 0}, core::Origin::closeButton});
}

std::size_t queueLength()
{
    return core::state().queue.size();
}
bool quitTaken()
{
    return core::state().quitTaken;
}
int quitCode()
{
    return core::state().quitCode;
}

}  // namespace platform::backend

namespace platform {

using namespace core;

// ---- Resources --------------------------------------------------------------

int loadString(int id, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    const char* text = resources::findString(id);
    if (!text) {
        buffer[0] = '\0';
        return 0;
    }
    int length = std::min(static_cast<int>(std::strlen(text)), size - 1);
    std::memcpy(buffer, text, static_cast<std::size_t>(length));
    buffer[length] = '\0';
    return length;
}

const Image* loadImage(int id)
{
    // Images point into the program's own data, so one record per picture,
    // found by id without a search, serves every caller for the whole run.
    static const std::vector<Image> images = [] {
        std::vector<Image> byId;
        for (int i = 0; i < resources::bitmapCount(); ++i) {
            const resources::Bitmap* bitmap = resources::bitmapAt(i);
            if (bitmap->id >= static_cast<int>(byId.size()))
                byId.resize(static_cast<std::size_t>(bitmap->id) + 1, Image{0, 0, nullptr});
            byId[static_cast<std::size_t>(bitmap->id)] = {bitmap->width, bitmap->height, bitmap->pixels};
        }
        return byId;
    }();
    if (id < 0 || id >= static_cast<int>(images.size()) || !images[static_cast<std::size_t>(id)].pixels)
        return nullptr;
    return &images[static_cast<std::size_t>(id)];
}

void releaseImage(const Image*) {}

std::uint32_t paletteColor(std::uint8_t index)
{
    return resources::paletteColor(index);
}

// ---- Messages --------------------------------------------------------------

Param sendMessage(Handle window, Msg msg, Param wparam, Param lparam)
{
    if (state().exited)
        return 0;
    const WindowRecord* target = findWindow(window);
    if (!target || !target->procedure)
        return 0;
    WindowProc procedure = target->procedure;
    Param result = procedure(window, msg, wparam, lparam);
    // An erase the program asks for without a surface covers the whole
    // window, so an area invalidated before it must not be painted over again
    // at the next wait (and wipe what was drawn since, a box's board included).
    if (msg == Msg::eraseBackground && wparam == 0 && result != 0) {
        WindowRecord* painted = findWindow(window);
        if (painted && painted->kind == WindowKind::topLevel)
            painted->invalid = {};
    }
    return result;
}

bool postMessage(Handle window, Msg msg, Param wparam, Param lparam)
{
    CoreState& s = state();
    if (s.exited || (window != 0 && !findWindow(window)))
        return false;
    s.queue.push_back({{window, msg, wparam, lparam}, Origin::posted});
    return true;
}

void postQuitMessage(int code)
{
    CoreState& s = state();
    if (!s.exited)
        s.queue.push_back({{0, Msg::quit, code, 0}, Origin::posted});
}

bool getMessage(Message& message)
{
    CoreState& s = state();
    message = {};
    while (!s.exited) {
        if (!s.queue.empty()) {
            Pending taken = s.queue.front();
            s.queue.erase(s.queue.begin());
            resolveInputWindow(taken.message);
            s.lastTaken = taken;
            message = taken.message;
            if (message.msg == Msg::quit) {
                s.quitTaken = true;
                s.quitCode = static_cast<int>(message.wparam);
                return false;
            }
            return true;
        }
        if (!repaintShowAndWait())
            break;
    }
    return false;
}

bool translateMessage(const Message& message)
{
    if (message.msg != Msg::keyDown || (message.lparam & modifierControl) || message.wparam <= ' ' ||
        message.wparam > '~')
        return false;
    return postMessage(message.window, Msg::character, message.wparam, 0);
}

Param dispatchMessage(const Message& message)
{
    CoreState& s = state();
    if (s.exited)
        return 0;
    Origin origin = sameMessage(message, s.lastTaken.message) ? s.lastTaken.origin : Origin::posted;
    s.lastTaken = {};
    bool topLevelInput = s.modalDepth == 0;

    Param result = 0;
    switch (message.msg) {
    case Msg::tap:
        result = dispatchTap(static_cast<int>(message.wparam), static_cast<int>(message.lparam), topLevelInput);
        break;
    case Msg::command:
        if (topLevelInput && (origin == Origin::menuChoice || origin == Origin::closeButton))
            s.backend->commandChosen(lowWord(message.wparam));
        result = sendMessage(message.window, message.msg, message.wparam, message.lparam);
        break;
    default:
        return sendMessage(message.window, message.msg, message.wparam, message.lparam);
    }
    if (topLevelInput)
        state().backend->inputFinished();
    return result;
}

Param defWindowProc(Handle window, Msg msg, Param, Param)
{
    if (msg == Msg::close)
        destroyWindow(window);
    return 0;
}

Handle loadAccelerators(int id)
{
    if (!resources::findAccelerators(id))
        return 0;
    // A table is read-only data: every loop that loads it shares one handle,
    // so a long run of message loops does not grow.
    for (const auto& [handle, loaded] : state().acceleratorTables) {
        if (loaded == id)
            return handle;
    }
    Handle handle = newHandle();
    state().acceleratorTables.emplace(handle, id);
    return handle;
}

bool translateAccelerator(Handle window, Handle accelerators, const Message& message)
{
    CoreState& s = state();
    if (s.exited || message.msg != Msg::keyDown || !findWindow(window))
        return false;
    auto table = s.acceleratorTables.find(accelerators);
    if (table == s.acceleratorTables.end())
        return false;
    const resources::AcceleratorTable* entries = resources::findAccelerators(table->second);
    bool control = (message.lparam & modifierControl) != 0;
    int key = message.wparam >= 0 && message.wparam < 128 ? std::toupper(static_cast<int>(message.wparam))
                                                          : static_cast<int>(message.wparam);
    for (int i = 0; i < entries->count; ++i) {
        const resources::Accelerator& entry = entries->entries[i];
        if (entry.control != control || entry.key != key)
            continue;
        bool topLevelInput = s.modalDepth == 0;
        if (topLevelInput)
            s.backend->commandChosen(entry.command);
        // Notification 1 marks an accelerator, as a menu choice carries 0.
        sendMessage(window, Msg::command, makeCommandParam(entry.command, 1), 0);
        if (topLevelInput)
            state().backend->inputFinished();
        return true;
    }
    return false;
}

// ---- Time, randomness, pacing, process -----------------------------------

int localSeconds()
{
    return std::clamp(currentBackend().localSeconds(), 0, 59);
}

void seedRandom(std::uint32_t seed)
{
    state().generator.seed(seed);
}

std::uint32_t nextRandom()
{
    return static_cast<std::uint32_t>(state().generator());
}

void waitUnits(int units)
{
    if (state().exited)
        return;
    units = std::max(0, units);
    // The pause runs from here, so the time showing its screen takes is part of it.
    currentBackend().startPause(units);
    present();
    currentBackend().waitUnits(units);
}

void exitProcess(int status)
{
    CoreState& s = state();
    s.exited = true;
    s.queue.clear();
    s.backend->exitProcess(status);
}

}  // namespace platform
