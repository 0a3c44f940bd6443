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
    // A button at the caption bar's right end; a click on it presses
    // `buttonKey` as the keyboard would. No label, no button.
    std::string button;
    int buttonKey = 0;

    friend bool operator==(const SideText&, const SideText&) = default;
};

}  // namespace platform
