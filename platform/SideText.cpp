// Where the side text's rows lie (see SideText.h).
#include "platform/SideText.h"

#include "platform/Platform.h"
#include "platform/WrapText.h"

#include <algorithm>

namespace platform {

namespace {

constexpr int textWidth = sideTextColumns - 2 * sideTextMargin;
constexpr int bottom = screenHeight - sideTextMargin;

struct WrappedRow {
    std::string_view text;
    int line = 0;
    bool startsLine = false;
};

}  // namespace

int sideTextRows(std::string_view line)
{
    int rows = 0;
    core::wrapText(line, textWidth, [&rows](std::string_view) { ++rows; });
    return rows;
}

SideTextView viewSideText(const SideText& text)
{
    SideTextView view;
    int y = titleBarHeight + sideTextMargin;
    if (!text.headline.empty()) {
        core::wrapText(text.headline, textWidth, [&](std::string_view row) {
            view.rows.push_back({row, y, -1, false});
            y += font::lineHeight;
        });
        y += sideTextLineGap;
    }
    view.linesTop = y;
    view.linesBottom = bottom;

    std::vector<WrappedRow> rows;
    for (std::size_t line = 0; line < text.lines.size(); ++line) {
        bool first = true;
        core::wrapText(text.lines[line], textWidth, [&](std::string_view row) {
            rows.push_back({row, static_cast<int>(line), first});
            first = false;
        });
    }
    const int total = static_cast<int>(rows.size());
    view.totalRows = total;
    if (total == 0)
        return view;

    // The last page ends with the last row: back from it while the rows still fit.
    int last = total - 1;
    int height = font::cellHeight;
    while (last > 0) {
        const int taller =
            height + font::lineHeight + (rows[static_cast<std::size_t>(last)].startsLine ? sideTextLineGap : 0);
        if (view.linesTop + taller > bottom)
            break;
        height = taller;
        --last;
    }
    view.lastFirstRow = last;
    view.firstRow = std::clamp(text.firstRow, 0, last);

    for (int index = view.firstRow; index < total; ++index) {
        const WrappedRow& row = rows[static_cast<std::size_t>(index)];
        const bool rule = index != view.firstRow && row.startsLine;
        if (rule)
            y += sideTextLineGap;
        if (y + font::cellHeight > bottom)
            break;
        view.rows.push_back({row.text, y, row.line, rule});
        ++view.rowsShown;
        y += font::lineHeight;
    }
    return view;
}

}  // namespace platform
