// The window registry: the core's state and its back end, window and surface
// records by handle, which window lies where, the screen area a window may
// draw on, and snapshots of the whole core.
#include "platform/Core.h"

#include <algorithm>
#include <array>

namespace platform::core {

namespace {

// Stands in until a back end is installed: no input, no screen, no time.
class NullBackend final : public backend::Backend {
public:
    bool waitForInput() override { return false; }
    void present(const std::uint8_t*, const std::uint32_t*) override {}
    void waitUnits(int) override {}
    int localSeconds() override { return 0; }
    std::uint64_t gameSeed() override { return 0; }
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

void forgetWindows()
{
    rememberedWindows.fill({});
}

// A list of handles to walk while window procedures run and may create or
// destroy windows. Walks nest (a procedure may repaint), so each level has
// its own list; the lists keep their memory, so repainting allocates nothing

}  // namespace

std::array<RememberedWindow, 64> rememberedWindows{};

WindowRecord* findWindowRecord(Handle handle)
{
    RememberedWindow& remembered =
        rememberedWindows[static_cast<std::size_t>(static_cast<std::uint32_t>(handle)) % rememberedWindows.size()];
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
    window.placedAt = 0;  // placed at its first use
    if (window.kind != WindowKind::control)
        geometryChanged();
    if (window.kind == WindowKind::topLevel)
        state().topLevels.push_back(handle);  // handles only grow, so the list stays in order
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
    std::vector<Handle>& topLevels = state().topLevels;
    if (auto at = std::find(topLevels.begin(), topLevels.end(), handle); at != topLevels.end())
        topLevels.erase(at);
    auto node = state().windows.extract(handle);
    // Nothing is placed by a control; a top-level window's controls are.
    if (!node || node.mapped().kind != WindowKind::control)
        geometryChanged();
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

void placeWindow(const WindowRecord& window)
{
    window.placedAt = state().geometry;
    window.screenRect = window.rect;
    window.drawable = {};
    if (window.kind == WindowKind::control) {
        const WindowRecord* parent = findWindow(window.parent);
        window.screenRect = parent ? offset(window.rect, parent->rect.left, parent->rect.top) : Rect{};
        if (window.visible && parent && parent->visible)
            window.drawable = intersect(intersect(window.screenRect, parent->rect), screenArea());
    } else if (window.kind == WindowKind::topLevel && window.visible) {
        window.drawable = intersect(window.rect, screenArea());
    }
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

}  // namespace platform::backend
