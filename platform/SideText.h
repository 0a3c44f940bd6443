// Text shown beside the device screen, outside it, where a back end has room
// (the desktop window): a caption, a headline and lines, top first, the
// lines scrolled by whole rows. Where each row lies is plain arithmetic on
// the pixel font, so the program can page through the lines and tests can
// tell what is in view without a window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The panel, in screen pixels; as tall as the screen.
constexpr int sideTextColumns = 172;
constexpr int sideTextMargin = 6;
constexpr int sideTextLineGap = 5;  // between two lines, a rule in its middle

struct SideText {
    bool shown = false;
    std::string caption;
    std::string headline;  // drawn bold above the lines; empty for none
    // A newline inside a line starts a new row of the same line, with no rule between.
    std::vector<std::string> lines;
    // Buttons at the caption bar's right end, the first rightmost; a click on
    // one presses its key as the keyboard would.
    struct Button {
        std::string label;
        int key = 0;
        friend bool operator==(const Button&, const Button&) = default;
    };
    std::vector<Button> buttons;
    // The first row of the lines in view, counting the wrapped rows of every
    // line from the top one's first; past the last page it shows the last page.
    int firstRow = 0;

    friend bool operator==(const SideText&, const SideText&) = default;
};

// What the panel shows below its caption bar: rows whole, never cut.
struct SideTextRow {
    std::string_view text;   // a view into the SideText it was laid out from
    int y = 0;               // top, panel pixels
    int line = -1;           // index into lines; -1 for the headline
    bool ruleAbove = false;  // the first row of a line below another in view
};
struct SideTextView {
    std::vector<SideTextRow> rows;  // top first: the headline's, then the lines' in view
    int linesTop = 0;               // where the lines' area begins, below the headline
    int linesBottom = 0;
    int firstRow = 0;      // of the lines, as shown: 0..lastFirstRow
    int rowsShown = 0;     // of the lines
    int totalRows = 0;     // of every line
    int lastFirstRow = 0;  // the first row of the last page; 0 when every row fits
};
SideTextView viewSideText(const SideText& text);

// The rows a line wraps to in the panel.
int sideTextRows(std::string_view line);

}  // namespace platform
