// The side panel (see SidePanel.h).
#include "platform/SidePanel.h"

#include "platform/PixelFont.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace platform::sdl {

namespace {

constexpr int margin = sideTextMargin;

// The buttons' labels are as tall as the caption's, with a little room
// around them: Review and Hint beside "What happened" fill the bar.
constexpr int buttonPadding = 3;
constexpr int buttonInset = 4;
constexpr int buttonGap = 3;

// In the right margin, clear of the text: a light trough, a grey thumb.
constexpr int troughLeft = panelColumns - 4;
constexpr int troughRight = panelColumns - 1;
constexpr int shortestThumb = 4;

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

Rect sidePanelThumb(const SideTextView& view)
{
    if (view.lastFirstRow == 0 || view.totalRows == 0)
        return {};
    const int area = view.linesBottom - view.linesTop;
    int top = view.linesTop + area * view.firstRow / view.totalRows;
    int bottom = view.linesTop + area * (view.firstRow + view.rowsShown) / view.totalRows;
    if (bottom - top < shortestThumb) {
        bottom = std::min(view.linesBottom, top + shortestThumb);
        top = bottom - shortestThumb;
    }
    return {troughLeft, top, troughRight, bottom};
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
    const SideTextView view = viewSideText(text);
    for (const SideTextRow& row : view.rows) {
        if (row.ruleAbove) {
            const int rule = row.y - sideTextLineGap + sideTextLineGap / 2;
            fillRect(image, {margin, rule, panelColumns - margin, rule + 1}, colour::panel);
        }
        if (row.line < 0)
            drawText(image, margin, row.y, row.text, colour::bar, true);
        else
            drawText(image, margin, row.y, row.text, colour::text);
    }
    const Rect thumb = sidePanelThumb(view);
    if (!isEmpty(thumb)) {
        fillRect(image, {troughLeft, view.linesTop, troughRight, view.linesBottom}, colour::panel);
        fillRect(image, thumb, colour::panelEdge);
    }
}

}  // namespace platform::sdl
