// The side panel (see SidePanel.h).
#include "platform/SidePanel.h"

#include "platform/WrapText.h"

#include <string_view>
#include <vector>

namespace platform::sdl {

namespace {

constexpr int margin = 6;
constexpr int textWidth = panelColumns - 2 * margin;
constexpr int bottom = screenHeight - margin;
constexpr int entryGap = 5;  // between two lines, a rule in its middle

std::vector<std::string_view> wrapped(std::string_view text)
{
    std::vector<std::string_view> rows;
    core::wrapText(text, textWidth, [&rows](std::string_view row) { rows.push_back(row); });
    return rows;
}

// The buttons' labels are as tall as the caption's, with a little room
// around them: Review and Hint beside "What happened" fill the bar.
constexpr int buttonPadding = 3;
constexpr int buttonInset = 4;
constexpr int buttonGap = 3;

}  // namespace

std::vector<Rect> sidePanelButtons(const SideText& text)
{
    std::vector<Rect> places;
    int right = panelColumns - margin;
    for (const SideText::Button& button : text.buttons) {
        const int width = font::textWidth(button.label) + 2 * buttonPadding;
        places.push_back({right - width, buttonInset, right, titleBarHeight - buttonInset});
        right -= width + buttonGap;
    }
    return places;
}

void drawSidePanel(core::PixelBuffer& image, const SideText& text)
{
    using namespace core;
    // The caption bar lines up with the screen's title bar beside it.
    image.resize(panelColumns, screenHeight, colour::window);
    fillRect(image, {0, 0, panelColumns, titleBarHeight}, colour::bar);
    drawText(image, margin, (titleBarHeight - font::glyphHeight) / 2, text.caption, colour::barText, true);
    const std::vector<Rect> places = sidePanelButtons(text);
    for (std::size_t index = 0; index < places.size(); ++index) {
        const Rect& button = places[index];
        fillRect(image, button, colour::panel);
        frameRect(image, button, colour::text);
        drawText(image, button.left + buttonPadding, button.top + (button.bottom - button.top - font::glyphHeight) / 2,
                 text.buttons[index].label, colour::text, true);
    }
    int y = titleBarHeight + margin;
    if (!text.headline.empty()) {
        for (std::string_view row : wrapped(text.headline)) {
            drawText(image, margin, y, row, colour::bar, true);
            y += font::lineHeight;
        }
        y += entryGap;
    }
    bool first = true;
    for (const std::string& line : text.lines) {
        const std::vector<std::string_view> rows = wrapped(line);
        const int height = static_cast<int>(rows.size()) * font::lineHeight;
        if (!first && y + entryGap + height > bottom)
            break;
        if (!first) {
            fillRect(image, {margin, y + entryGap / 2, panelColumns - margin, y + entryGap / 2 + 1}, colour::panel);
            y += entryGap;
        }
        for (std::string_view row : rows) {
            if (y + font::cellHeight > bottom)
                break;
            drawText(image, margin, y, row, colour::text);
            y += font::lineHeight;
        }
        first = false;
    }
}

}  // namespace platform::sdl
