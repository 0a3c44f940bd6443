#include "app/KeyboardPlay.h"

#include "app/AccountPanel.h"
#include "app/Hint.h"
#include "app/KeyboardFocus.h"
#include "app/PlayRecord.h"
#include "app/Review.h"
#include "app/Sound.h"
#include "resources/BoardIds.h"
#include "ui/Controls.h"

const char* const HowToPlayCaptions[howToPlayPageCount] = {"How to play (1 of 4)", "How to play (2 of 4)",
                                                           "How to play (3 of 4)", "How to play (4 of 4)"};
// Every rule a player needs; the page beside the board in a browser tells them at more length.
const char* const HowToPlayPages[howToPlayPageCount] = {
    "Goal: never hold the lowest hand when a round ends. Each seat has four lives, the coins beside it. "
    "Lose your last life and you lose; when all three others are out, you win.\n\n"
    "Hand values: ace 11, ten, jack, queen and king 10, the others their number. A hand counts its best "
    "suit: the cards of one suit add up. With no two of a suit: the highest card. Three of a rank: 30.5. "
    "Three aces beat every hand.\n\n"
    "When you deal, you see your first three cards: \"Keep this cards?\" Y keeps them, N takes the next "
    "three instead. The other three lie face up on the table.\n\n"
    "Enter: next page. Escape: close.",

    "Moves: the seat after the dealer begins, then each in turn exchanges one card with a table card, "
    "exchanges all three, passes or says Stop. On the round's first turn you may exchange or pass, but "
    "not stop; the computer seats may stop at once.\n\n"
    "Stop: every other seat has one last turn, then the round ends. Yours: exchange, or press Stop.\n\n"
    "An exchange to 31 (an ace and two tens or pictures of one suit) or to three aces ends the round at "
    "once.\n\n"
    "Enter: next page. Escape: close.",

    "Round end: the lowest hand loses a life; ties all lose. After three aces every seat without the best "
    "hand loses a life. Four equal hands: the round is dealt again.\n\n"
    "A seat's moves show in a bubble beside it: \"Stop\" or \"Pass\". When the round ends, every hand "
    "is shown and its bubble holds its value; a bubble reading \"Zarta\" means 31, and the lightning "
    "means three aces.\n\n"
    "Click one of your cards, then a table card, to exchange them; click all three to exchange the "
    "hand. Click a chosen card again to put it back.\n\n"
    "Enter: next page. Escape: close.",

    "Arrows or Tab: move the frame.\n"
    "Shift+Tab: move it back.\n"
    "Space or Enter: tap it.\n"
    "S: Stop. P: Pass.\n"
    "H: a hint. R: review a round.\n"
    "F1: these rules. F2: New game.\n"
    "F3: your record, kept in\n"
    "~/.local/share/zarta/record.\n"
    "W: show or hide What happened.\n"
    "Page Up, Page Down, Home, End:\n"
    "scroll What happened.\n"
    "M: sound on or off.\n"
    "Ctrl+A: About. Ctrl+Q: close.\n"
    "In a box, Enter or Y: Yes (OK);\n"
    "N or Escape: No.\n"
    "Escape: close these rules.",
};

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
        pressButtonIfShown(boardWindow, ids::controlStop);
        return 1;
    case 'P':
        pressButtonIfShown(boardWindow, ids::controlPass);
        return 1;
    case hintKey:
    case hintKey - 'A' + 'a':
        giveHint(boardWindow);
        return 1;
    case platform::keyF1:
        // One box a page: its OK (Enter) turns to the next, Escape leaves them all.
        for (int page = 0; page < howToPlayPageCount; ++page) {
            if (platform::messageBox(boardWindow, HowToPlayPages[page], HowToPlayCaptions[page],
                                     platform::BoxButtons::ok) == platform::answerCancel)
                break;
        }
        return 1;
    case reviewKey:
    case reviewKey - 'A' + 'a':
        giveReview();
        return 1;
    case playRecordKey:
        showPlayRecord(boardWindow);
        return 1;
    case accountPanelKey:
    case accountPanelKey - 'A' + 'a':
        toggleAccountPanel();
        return 1;
    case platform::keyWheelUp:
        scrollAccountPanel(AccountScroll::notchUp);
        return 1;
    case platform::keyWheelDown:
        scrollAccountPanel(AccountScroll::notchDown);
        return 1;
    case platform::keyPageUp:
        scrollAccountPanel(AccountScroll::pageUp);
        return 1;
    case platform::keyPageDown:
        scrollAccountPanel(AccountScroll::pageDown);
        return 1;
    case platform::keyHome:
        scrollAccountPanel(AccountScroll::top);
        return 1;
    case platform::keyEnd:
        scrollAccountPanel(AccountScroll::bottom);
        return 1;
    case soundKey:
    case soundKey - 'A' + 'a':
        toggleSound();
        return 1;
    default:
        return 0;
    }
}
