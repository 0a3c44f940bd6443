// Windows and controls: creating, showing, moving and destroying them, and
// what that leaves to repaint. Top-level windows have no frame, so a
// window's client area is its rectangle.
#include "platform/Core.h"

#include <algorithm>
#include <cctype>

namespace platform::core {

namespace {

bool isButtonClass(const std::string& name)
{
    static constexpr std::string_view button = "BUTTON";
    return name.size() == button.size() && std::equal(name.begin(), name.end(), button.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) == b;
           });
}

}  // namespace

}  // namespace platform::core

namespace platform {

using namespace core;

bool registerClass(const WindowClass& windowClass)
{
    if (!windowClass.className || !windowClass.procedure)
        return false;
    return state()
        .classes.emplace(windowClass.className, RegisteredClass{windowClass.procedure, windowClass.iconId})
        .second;
}

Handle createWindow(const char* className, const char* text, std::uint32_t style, int x, int y, int width, int height,
                    Handle parent, int id)
{
    CoreState& s = state();
    if (!className)
        return 0;
    WindowRecord window;
    window.className = className;
    window.text = text ? text : "";
    window.style = style;
    window.id = id;

    if (style & styleChild) {
        const WindowRecord* owner = findWindow(parent);
        if (!isButtonClass(window.className) || !owner || owner->kind != WindowKind::topLevel)
            return 0;
        window.kind = WindowKind::control;
        window.parent = parent;
        window.rect = {x, y, x + std::max(0, width), y + std::max(0, height)};
        window.visible = (style & styleVisible) != 0;
        Handle handle = newHandle();
        window.handle = handle;
        window.needsDraw = window.visible;
        addWindow(handle, std::move(window));
        s.zOrder.push_back(handle);
        return handle;
    }

    auto registered = s.classes.find(window.className);
    if (registered == s.classes.end())
        return 0;
    window.kind = WindowKind::topLevel;
    window.procedure = registered->second.procedure;
    window.iconId = registered->second.iconId;
    int left = x == useDefault ? 0 : x;
    int top = x == useDefault ? titleBarHeight : y;
    int right = width == useDefault ? screenWidth : left + std::max(0, width);
    int bottom = width == useDefault ? screenHeight : top + std::max(0, height);
    window.rect = {left, top, right, bottom};
    Handle handle = newHandle();
    window.handle = handle;
    std::string title = window.text;
    int iconId = window.iconId;
    addWindow(handle, std::move(window));
    s.zOrder.push_back(handle);
    s.backend->showIdentity(title.c_str(), iconId);

    if (sendMessage(handle, Msg::create, 0, 0) == -1) {
        destroyWindow(handle);
        return 0;
    }
    WindowRecord* created = findWindow(handle);
    if (!created)
        return 0;
    if (style & styleVisible) {
        created->visible = true;
        geometryChanged(*created);
        created->invalid = created->rect;
        drawTitleBar();
    }
    return handle;
}

bool destroyWindow(Handle handle)
{
    CoreState& s = state();
    WindowRecord* window = findWindow(handle);
    if (!window || window->kind == WindowKind::dialog)
        return false;

    if (window->kind == WindowKind::control) {
        Rect area = isWindowVisible(handle) ? screenRectOf(*window) : Rect{};
        eraseWindow(handle);
        std::erase(s.zOrder, handle);
        invalidateScreen(area);
        return true;
    }

    // The procedure hears destroy while its controls still exist; a second
    // destroyWindow from inside it must not send destroy again.
    if (window->destroying)
        return true;
    window->destroying = true;
    sendMessage(handle, Msg::destroy, 0, 0);

    destroyMenuBarsOf(handle);
    std::vector<Handle> children;
    for (const auto& [childHandle, child] : s.windows) {
        if (child.kind == WindowKind::control && child.parent == handle)
            children.push_back(childHandle);
    }
    for (Handle child : children) {
        eraseWindow(child);
        std::erase(s.zOrder, child);
    }
    window = findWindow(handle);
    Rect area = window->visible ? window->rect : Rect{};
    eraseWindow(handle);
    std::erase(s.zOrder, handle);
    fillDesktop(area);
    invalidateScreen(area);
    drawTitleBar();
    return true;
}

bool showWindow(Handle handle, bool visible)
{
    WindowRecord* window = findWindow(handle);
    if (!window || window->kind == WindowKind::dialog)
        return false;
    if (window->visible == visible)
        return true;
    window->visible = visible;
    geometryChanged(*window);
    Rect area = screenRectOf(*window);
    if (window->kind == WindowKind::topLevel) {
        if (!visible)
            fillDesktop(area);
        drawTitleBar();
    }
    // A control shown needs only its own drawing, as a child window would get;
    // the board around it keeps what it shows. Hidden: what lay under it does.
    if (window->kind == WindowKind::control && visible)
        window->needsDraw = true;
    else
        invalidateScreen(area);
    return true;
}

bool isWindowVisible(Handle handle)
{
    const WindowRecord* window = findWindow(handle);
    if (!window || !window->visible)
        return false;
    if (window->kind != WindowKind::control)
        return true;
    const WindowRecord* parent = findWindow(window->parent);
    return parent && parent->visible;
}

bool moveWindow(Handle handle, int x, int y, int width, int height, bool repaint)
{
    WindowRecord* window = findWindow(handle);
    if (!window || window->kind == WindowKind::dialog)
        return false;
    bool showing = isWindowVisible(handle);
    Rect before = screenRectOf(*window);
    window->rect = {x, y, x + std::max(0, width), y + std::max(0, height)};
    geometryChanged(*window);
    Rect after = screenRectOf(*window);
    // Without repaint nothing is invalidated, the uncovered area included: the caller paints.
    if (repaint && showing) {
        if (window->kind == WindowKind::topLevel)
            fillDesktop(before);
        invalidateScreen(before);
        if (window->kind == WindowKind::control)
            window->needsDraw = true;
        else
            invalidateScreen(after);
    }
    return true;
}

Rect getWindowRect(Handle handle)
{
    const WindowRecord* window = findWindow(handle);
    return window ? screenRectOf(*window) : Rect{};
}

bool updateWindow(Handle handle)
{
    const WindowRecord* window = findWindow(handle);
    if (!window)
        return false;
    repaintWindow(window->kind == WindowKind::control ? window->parent : handle);
    drawPendingControls();
    return true;
}

}  // namespace platform

namespace platform::backend {

std::vector<ShownControl> shownControls()
{
    std::vector<ShownControl> shown;
    for (Handle handle : core::state().zOrder) {
        const core::WindowRecord* window = core::findWindow(handle);
        if (!window || window->kind != core::WindowKind::control)
            continue;
        Rect area = core::drawableRect(*window);
        if (!core::isEmpty(area))
            shown.push_back({window->id, area});
    }
    return shown;
}

}  // namespace platform::backend
