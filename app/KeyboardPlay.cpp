#include "app/KeyboardPlay.h"

#include "app/KeyboardFocus.h"
#include "resources/BoardIds.h"
#include "ui/Controls.h"

const char* const HowToPlayCaption = "How to play";
const char* const HowToPlayText = "A hand counts the points of one suit: ace 11, ten and pictures 10, others "
                                  "their number. Three of a "
                                  "rank make 30.5.\n\n"
                                  "On your turn swap one of your cards for a table card (tap both), swap all "
                                  "three, Pass or Stop.\n\n"
                                  "After a Stop the others play once more. The lowest hand loses a life.\n\n"
                                  "Arrows or Tab move the frame, Space or Enter taps, S Stop, P Pass, F2 "
                                  "New.";

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
