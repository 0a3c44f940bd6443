#include "app/KeyboardPlay.h"

#include "app/KeyboardFocus.h"
#include "resources/BoardIds.h"
#include "ui/Controls.h"

const char* const HowToPlayCaption = "How to play";
// The rules in short; the page beside the board has them in full.
const char* const HowToPlayText =
    "Goal: never hold the lowest hand at a round's end, which costs one of your four lives. Lose the last and "
    "you lose; outlast all three and you win.\n\n"
    "A hand counts one suit: ace 11, ten and pictures 10, others their number. Three of a rank 30.5, three "
    "aces beat all.\n\n"
    "Swap a card with the table (tap both), or all three, Pass or Stop. First turn: Pass only. After a Stop "
    "the others play once more; 31 or three aces ends the round.\n\n"
    "Bubbles: score; Zarta 31; lightning three aces.\n\n"
    "Arrows or Tab move the frame, Space or Enter taps, S Stop, P Pass, F2 New.";

namespace {

// What a tap on the control would do: its command, straight to the board.
void tapControl(platform::Handle boardWindow, int controlId)
{
    platform::sendMessage(boardWindow, platform::Msg::command, platform::makeCommandParam(controlId, 0),
                          controlHandle(controlId));
}

void pressButtonIfShown(platform::Handle boardWindow, int controlId)
{
    const platform::Handle button = controlHandle(controlId);
    if (button != 0 && platform::isWindowVisible(button))
        tapControl(boardWindow, controlId);
}

// The first key only shows where the focus is; later ones move it.
void steer(platform::Handle boardWindow, FocusMove move)
{
    if (isFocusFrameShown())
        moveFocus(move, boardWindow);
    else
        showFocusFrame(boardWindow);
}

}  // namespace

platform::Param handleBoardKey(platform::Handle boardWindow, platform::Param key, platform::Param modifiers)
{
    if (modifiers & platform::modifierControl)
        return 0;  // Ctrl keys are accelerators
    const bool shift = (modifiers & platform::modifierShift) != 0;
    switch (key) {
    case platform::keyArrowLeft:
        steer(boardWindow, FocusMove::left);
        return 1;
    case platform::keyArrowRight:
        steer(boardWindow, FocusMove::right);
        return 1;
    case platform::keyArrowUp:
        steer(boardWindow, FocusMove::up);
        return 1;
    case platform::keyArrowDown:
        steer(boardWindow, FocusMove::down);
        return 1;
    case platform::keyTab:
        steer(boardWindow, shift ? FocusMove::previous : FocusMove::next);
        return 1;
    case platform::keySpace:
    case platform::keyEnter:
        // A tap on a frame nobody has seen yet would surprise: the first press
        // shows it.
        if (isFocusFrameShown() && focusedControl() != 0)
            tapControl(boardWindow, focusedControl());
        else
            showFocusFrame(boardWindow);
        return 1;
    case 'S':
    case 's':
        pressButtonIfShown(boardWindow, ids::controlStop);
        return 1;
    case 'P':
    case 'p':
        pressButtonIfShown(boardWindow, ids::controlPass);
        return 1;
    case platform::keyF1:
        platform::messageBox(boardWindow, HowToPlayText, HowToPlayCaption, platform::BoxButtons::ok);
        return 1;
    default:
        return 0;
    }
}
