// The side panel as drawn: a scroll bar only when the lines do not all fit,
// its thumb where the view is.
#include "platform/SidePanel.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace platform;
using namespace platform::sdl;

namespace {

SideText manyLines(int count, int firstRow)
{
    SideText text;
    text.shown = true;
    text.caption = "What happened";
    for (int i = 0; i < count; ++i)
        text.lines.push_back(i % 3 == 0 ? "West takes the ace of clubs and leaves the queen of diamonds."
                                        : "North passes.");
    text.firstRow = firstRow;
    return text;
}

std::uint8_t at(const core::PixelBuffer& image, int x, int y)
{
    return image.pixels[static_cast<std::size_t>(y * image.width + x)];
}

// The scroll bar's column: the thumb's rows, [first, end); none when it shows no thumb.
std::pair<int, int> thumbRows(const core::PixelBuffer& image)
{
    int first = -1;
    int end = -1;
    for (int y = 0; y < screenHeight; ++y) {
        if (at(image, panelColumns - 3, y) == core::colour::panelEdge.index) {
            first = first < 0 ? y : first;
            end = y + 1;
        }
    }
    return {first, end};
}

}  // namespace

TEST(SidePanel, TheScrollBarShowsOnlyWhenLinesAreLeftOutAndItsThumbFollowsTheView)
{
    core::PixelBuffer image;
    drawSidePanel(image, manyLines(5, 0));
    EXPECT_EQ(thumbRows(image).first, -1) << "five short lines fit";
    EXPECT_EQ(at(image, panelColumns - 3, 100), core::colour::window.index);

    const int lastFirst = viewSideText(manyLines(40, 0)).lastFirstRow;
    ASSERT_GT(lastFirst, 20);
    int previousTop = -1;
    for (const int firstRow : {0, lastFirst / 2, lastFirst}) {
        const SideText text = manyLines(40, firstRow);
        const SideTextView view = viewSideText(text);
        drawSidePanel(image, text);
        const auto [top, end] = thumbRows(image);
        EXPECT_GT(top, previousTop) << "from row " << firstRow;
        previousTop = top;
        // As long as the share of the rows in view, within a pixel.
        const int area = view.linesBottom - view.linesTop;
        EXPECT_NEAR(end - top, area * view.rowsShown / view.totalRows, 1) << "from row " << firstRow;
        // The rest of the bar is its light trough.
        if (firstRow == 0) {
            EXPECT_EQ(top, view.linesTop);
            EXPECT_EQ(at(image, panelColumns - 3, view.linesBottom - 1), core::colour::panel.index);
        }
        if (firstRow == lastFirst) {
            EXPECT_EQ(end, view.linesBottom);
            EXPECT_EQ(at(image, panelColumns - 3, view.linesTop), core::colour::panel.index);
        }
    }
}
