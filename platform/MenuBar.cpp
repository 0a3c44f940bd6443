// The menu bar at the bottom of the screen and the pop-up menu its button
// opens. The pop-up is a modal loop: it takes every tap (one outside it
// closes it) and its keys, and drops other keys pressed while it is open.
#include "platform/Core.h"

#include "platform/PixelFont.h"

#include <algorithm>
#include <iterator>

namespace platform::core {

namespace {

constexpr int menuButtonMinimumWidth = 44;
constexpr int popupItemHeight = 18;
constexpr int popupSeparatorHeight = 7;
constexpr int popupBorder = 2;
constexpr int popupMinimumWidth = 72;

Handle currentMenuBarHandle()
{
    const auto& bars = state().menuBars;
    return bars.empty() ? 0 : std::prev(bars.end())->first;
}

struct PopupLayout {
    Rect rect;                // screen
    std::vector<Rect> items;  // screen, one per menu item, separators included
};

PopupLayout layoutPopup(const resources::Menu& menu, const Rect& button)
{
    int width = popupMinimumWidth;
    int height = 2 * popupBorder;
    for (int i = 0; i < menu.itemCount; ++i) {
        const char* text = menu.items[i].text;
        if (text)
            width = std::max(width, font::textWidth(text) + 24);
        height += text ? popupItemHeight : popupSeparatorHeight;
    }
    int left = std::clamp(button.left, 0, screenWidth - width);
    PopupLayout layout{{left, menuBarTop - height, left + width, menuBarTop}, {}};
    int y = layout.rect.top + popupBorder;
    for (int i = 0; i < menu.itemCount; ++i) {
        int itemHeight = menu.items[i].text ? popupItemHeight : popupSeparatorHeight;
        layout.items.push_back({left + popupBorder, y, left + width - popupBorder, y + itemHeight});
        y += itemHeight;
    }
    return layout;
}

void drawPopup(PixelBuffer& image, const resources::Menu& menu, const PopupLayout& layout, int highlighted)
{
    image.resize(layout.rect.right - layout.rect.left, layout.rect.bottom - layout.rect.top, colour::window);
    frameRect(image, image.bounds(), colour::text);
    for (int i = 0; i < menu.itemCount; ++i) {
        Rect item = offset(layout.items[static_cast<std::size_t>(i)], -layout.rect.left, -layout.rect.top);
        const char* text = menu.items[i].text;
        if (!text) {
            int middle = (item.top + item.bottom) / 2;
            fillRect(image, {item.left + 2, middle, item.right - 2, middle + 1}, colour::panelEdge);
            continue;
        }
        if (i == highlighted)
            fillRect(image, item, colour::bar);
        drawText(image, item.left + 8, item.top + (popupItemHeight - font::glyphHeight) / 2, text,
                 i == highlighted ? colour::barText : colour::text);
    }
}

bool popupAccepts(const Message& message, void*)
{
    return message.msg == Msg::tap || isKey(message, keyEscape) || isKey(message, keyEnter) ||
           isKey(message, keyArrowUp) || isKey(message, keyArrowDown);
}

int nextChoosable(const resources::Menu& menu, int from, int step)
{
    for (int k = 1; k <= menu.itemCount; ++k) {
        int i = ((from + step * k) % menu.itemCount + menu.itemCount) % menu.itemCount;
        if (menu.items[i].text)
            return i;
    }
    return -1;
}

// Runs the pop-up of `buttonIndex`; returns the chosen command, 0 for none.
int runPopup(Handle menuBar, int buttonIndex, const resources::Menu& menu)
{
    CoreState& s = state();
    MenuBarRecord& bar = s.menuBars.at(menuBar);
    PopupLayout layout = layoutPopup(menu, menuButtonRect(bar, buttonIndex));
    ModalScope scope;
    bool wasOpen = s.popupOpen;
    s.popupOpen = true;
    bar.pressedButton = buttonIndex;
    drawMenuBar();

    int highlighted = -1;
    drawPopup(pushOverlay(layout.rect), menu, layout, highlighted);

    int chosen = 0;
    Message message;
    while (takeModalInput(scope, popupAccepts, nullptr, message)) {
        if (message.msg == Msg::tap) {
            if (!isTapIn(message, layout.rect))
                break;
            auto item = std::find_if(layout.items.begin(), layout.items.end(),
                                     [&](const Rect& r) { return isTapIn(message, r); });
            int index = static_cast<int>(item - layout.items.begin());
            if (item != layout.items.end() && menu.items[index].text) {
                chosen = menu.items[index].command;
                break;
            }
            continue;
        }
        if (message.wparam == keyEscape)
            break;
        if (message.wparam == keyEnter) {
            if (highlighted >= 0) {
                chosen = menu.items[highlighted].command;
                break;
            }
            continue;
        }
        bool up = message.wparam == keyArrowUp;
        highlighted = nextChoosable(menu, highlighted >= 0 ? highlighted : (up ? menu.itemCount : -1), up ? -1 : 1);
        drawPopup(topOverlay().image, menu, layout, highlighted);
        markScreenChanged();
    }

    popOverlay();
    auto still = s.menuBars.find(menuBar);
    if (still != s.menuBars.end()) {
        still->second.pressedButton = -1;
        drawMenuBar();
    }
    s.popupOpen = wasOpen;
    return chosen;
}

}  // namespace

void drawMenuBar()
{
    const MenuBarRecord* menuBar = currentMenuBar();
    if (!menuBar)
        return;
    PixelBuffer& screen = state().screen;
    fillRect(screen, {0, menuBarTop, screenWidth, screenHeight}, colour::panel);
    fillRect(screen, {0, menuBarTop, screenWidth, menuBarTop + 1}, colour::panelEdge);
    for (int i = 0; i < menuBar->bar->buttonCount; ++i) {
        Rect button = menuButtonRect(*menuBar, i);
        const char* label = resources::findString(menuBar->bar->buttons[i].labelString);
        bool pressed = menuBar->pressedButton == i;
        if (pressed)
            fillRect(screen, {button.left, button.top + 1, button.right, button.bottom}, colour::bar);
        std::string_view text = label ? label : "";
        drawText(screen, button.left + (button.right - button.left - font::textWidth(text)) / 2,
                 button.top + (menuBarHeight - font::glyphHeight) / 2, text, pressed ? colour::barText : colour::text,
                 true);
    }
    markScreenChanged();
}

const MenuBarRecord* currentMenuBar()
{
    Handle handle = currentMenuBarHandle();
    return handle ? &state().menuBars.at(handle) : nullptr;
}

Rect menuButtonRect(const MenuBarRecord& menuBar, int index)
{
    int left = 0;
    for (int i = 0; i < menuBar.bar->buttonCount; ++i) {
        const char* label = resources::findString(menuBar.bar->buttons[i].labelString);
        int width = std::max(menuButtonMinimumWidth, font::textWidth(label ? label : "") + 17);
        if (i == index)
            return {left, menuBarTop, left + width, screenHeight};
        left += width;
    }
    return {};
}

bool handleMenuBarTap(int x, int y)
{
    CoreState& s = state();
    Handle menuBar = currentMenuBarHandle();
    if (!menuBar || !contains({0, menuBarTop, screenWidth, screenHeight}, x, y))
        return false;
    const MenuBarRecord& bar = s.menuBars.at(menuBar);
    for (int i = 0; i < bar.bar->buttonCount; ++i) {
        if (!contains(menuButtonRect(bar, i), x, y))
            continue;
        resources::MenuBarButton button = bar.bar->buttons[i];
        Handle owner = bar.owner;
        sendMessage(owner, Msg::command, makeCommandParam(button.command, 0), 0);
        const resources::Menu* menu = resources::findMenu(button.menuId);
        if (!menu || s.exited || !s.menuBars.contains(menuBar))
            break;
        int chosen = runPopup(menuBar, i, *menu);
        if (chosen != 0 && !s.exited && findWindow(owner))
            s.queue.push_back({{owner, Msg::command, makeCommandParam(chosen, 0), 0}, Origin::menuChoice});
        break;
    }
    return true;
}

void destroyMenuBarsOf(Handle owner)
{
    std::vector<Handle> owned;
    for (const auto& [handle, bar] : state().menuBars) {
        if (bar.owner == owner)
            owned.push_back(handle);
    }
    for (Handle handle : owned)
        destroyMenuBar(handle);
}

}  // namespace platform::core

namespace platform::backend {

void queueCommand(int command)
{
    const core::MenuBarRecord* bar = core::currentMenuBar();
    if (bar)
        core::state().queue.push_back(
            {{bar->owner, Msg::command, makeCommandParam(command, 0), 0}, core::Origin::menuChoice});
}

bool popupOpen()
{
    return core::state().popupOpen;
}

Rect menuBarButtonRect()
{
    const core::MenuBarRecord* bar = core::currentMenuBar();
    return bar && bar->bar->buttonCount > 0 ? core::menuButtonRect(*bar, 0) : Rect{};
}

bool popupItemPoint(int command, int& x, int& y)
{
    const core::MenuBarRecord* bar = core::currentMenuBar();
    for (int i = 0; bar && i < bar->bar->buttonCount; ++i) {
        const resources::Menu* menu = resources::findMenu(bar->bar->buttons[i].menuId);
        if (!menu)
            continue;
        core::PopupLayout layout = core::layoutPopup(*menu, core::menuButtonRect(*bar, i));
        for (int item = 0; item < menu->itemCount; ++item) {
            if (menu->items[item].text && menu->items[item].command == command) {
                const Rect& r = layout.items[static_cast<std::size_t>(item)];
                x = (r.left + r.right) / 2;
                y = (r.top + r.bottom) / 2;
                return true;
            }
        }
    }
    return false;
}

}  // namespace platform::backend

namespace platform {

using namespace core;

Handle createMenuBar(Handle owner, int menuBarId)
{
    const WindowRecord* window = findWindow(owner);
    const resources::MenuBar* bar = resources::findMenuBar(menuBarId);
    if (!window || window->kind != WindowKind::topLevel || !bar)
        return 0;
    Handle handle = newHandle();
    state().menuBars.emplace(handle, MenuBarRecord{owner, bar, -1});
    drawMenuBar();
    return handle;
}

bool destroyMenuBar(Handle menuBar)
{
    if (state().menuBars.erase(menuBar) == 0)
        return false;
    Rect area{0, menuBarTop, screenWidth, screenHeight};
    fillDesktop(area);
    invalidateScreen(area);
    return true;
}

}  // namespace platform
