// The screen's place in a window (see ScreenLayout.h).
#include "platform/ScreenLayout.h"

#include "platform/Platform.h"

#include <algorithm>

namespace platform {

Fit fitScreen(int width, int height)
{
    int factor = std::max(1, std::min(width / screenWidth, height / screenHeight));
    return {factor, (width - screenWidth * factor) / 2, (height - screenHeight * factor) / 2};
}

Layout layOut(int width, int height, int panelColumns)
{
    Layout layout{fitScreen(width, height)};
    if (panelColumns <= 0)
        return layout;
    const int across = screenWidth + panelGap + panelColumns;
    const int factor = std::max(1, std::min(width / across, height / screenHeight));
    layout.panel = true;
    layout.board.factor = factor;
    layout.board.left = std::max(0, (width - across * factor) / 2);
    layout.board.top = (height - screenHeight * factor) / 2;
    layout.panelLeft = layout.board.left + (screenWidth + panelGap) * factor;
    return layout;
}

}  // namespace platform
