// Text shown beside the device screen, outside it, where a back end has room
// (the desktop window): a caption, a headline and lines, top first.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct SideText {
    bool shown = false;
    std::string caption;
    std::string headline;  // drawn bold above the lines; empty for none
    std::vector<std::string> lines;
    // Buttons at the caption bar's right end, the first rightmost; a click on
    // one presses its key as the keyboard would.
    struct Button {
        std::string label;
        int key = 0;
        friend bool operator==(const Button&, const Button&) = default;
    };
    std::vector<Button> buttons;

    friend bool operator==(const SideText&, const SideText&) = default;
};

}  // namespace platform
