// Repainting: areas of the screen marked invalid, and the erase-background
// and draw-item messages that paint them again before any wait for input.
#include "platform/Core.h"

#include <array>
#include <deque>

namespace platform::core {

namespace {

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

void invalidateScreen(Rect area)
{
    if (isEmpty(area))
        return;
    for (Handle handle : state().topLevels) {
        WindowRecord* window = findWindow(handle);
        if (window && window->visible)
            window->invalid = unite(window->invalid, intersect(window->rect, area));
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

Param repaintAtOnce(Handle topLevel)
{
    CoreState& s = state();
    const WindowRecord* window = findWindow(topLevel);
    const std::uint64_t paint = ++s.paintSerial;
    const Param result = window->procedure(topLevel, Msg::eraseBackground, 0, 0);
    if (result == 0)
        return result;
    // The whole window is painted, so an area invalidated before must not be
    // painted over again at the next wait (and wipe what was drawn since, a
    // box's board included).
    if (WindowRecord* painted = findWindow(topLevel))
        painted->invalid = {};

    // A window's paint does not cover its visible controls, which lie above
    // it: a control the paint did not draw again is drawn now, and so is
    // every control above one drawn now that overlaps it. The procedure may
    // create or destroy controls while it draws, so walk a copy.
    HandleList order;
    order.handles().assign(s.zOrder.begin(), s.zOrder.end());
    std::array<Rect, 8> redrawn{};
    std::size_t redrawnCount = 0;
    for (Handle handle : order.handles()) {
        WindowRecord* control = findWindow(handle);
        if (!control || control->kind != WindowKind::control || control->parent != topLevel)
            continue;
        const Rect place = drawableRect(*control);
        if (isEmpty(place))
            continue;
        bool covered = control->drawnAt < paint;
        for (std::size_t i = 0; i < redrawnCount && !covered; ++i)
            covered = !isEmpty(intersect(redrawn[i], place));
        if (!covered)
            continue;
        if (redrawnCount < redrawn.size())
            redrawn[redrawnCount++] = place;
        else
            redrawn.back() = unite(redrawn.back(), place);
        control->needsDraw = false;
        if (control->style & styleOwnerDraw)
            sendMessage(topLevel, Msg::drawItem, control->id, handle);
        else
            paintPlainButton(*control);
    }
    return result;
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
        for (Handle handle : state().topLevels) {
            const WindowRecord* window = findWindow(handle);
            if (window && !isEmpty(window->invalid))
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

}  // namespace platform::core
