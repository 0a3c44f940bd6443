// The board window's message procedure: painting, owner-drawn controls and
// the dispatch of taps and menu commands to the game, and the About dialog.
#include "app/Hint.h"
#include "app/KeyboardFocus.h"
#include "app/KeyboardPlay.h"
#include "app/PlayRecord.h"
#include "app/Program.h"
#include "app/Review.h"
#include "app/Shell.h"
#include "flow/NewGame.h"
#include "flow/TurnEngine.h"
#include "model/GameState.h"
#include "resources/BoardIds.h"
#include "resources/ResourceIds.h"
#include "ui/Controls.h"
#include "ui/Drawing.h"
#include "ui/ImageTables.h"

namespace {

constexpr platform::Param handled = 1;

platform::Param aboutDialogProcedure(platform::Handle dialog, platform::Msg msg, platform::Param wparam,
                                     platform::Param)
{
    if (msg == platform::Msg::initDialog)
        return 1;
    if (msg == platform::Msg::command && platform::lowWord(wparam) == ids::commandClose) {
        platform::endDialog(dialog, 1);
        return 1;
    }
    return 0;
}

void runAboutDialog(platform::Handle window)
{
    platform::dialogBox(res::dialogAbout, window, aboutDialogProcedure);
}

void runClosePath(platform::Handle window)
{
    platform::sendMessage(window, platform::Msg::activate, 0, window);
    platform::sendMessage(window, platform::Msg::close, 0, 0);
}

void drawSeat(Seat seat, const std::uint16_t* livesImages)
{
    drawImageAt(LivesOriginX[seat], LivesOriginY[seat], shell.boardWindow, livesImages[game.lives[seat]]);
    const int first = ids::firstControlOfSeat(seat);
    for (int id = first; id < first + 3; ++id)
        drawCardControl(id);
}

platform::Param drawItem(platform::Handle window, platform::Param wparam, platform::Param lparam)
{
    const int id = static_cast<int>(wparam);
    if (ids::isCardControl(id)) {
        drawCardControl(id);
        return handled;
    }
    if (id >= ids::controlSecondUpright1 && id <= ids::controlSecondLast) {
        const bool upright = id < ids::controlSecondSide1;
        const int slot = upright ? id - ids::controlSecondUpright1 : id - ids::controlSecondSide1;
        drawImageOnControl(boardControls.secondHand[slot], upright ? res::imageBackUpright : res::imageBackSide);
        return handled;
    }
    if (id == ids::controlStop) {
        drawStopButton(ButtonLook::normal);
        return handled;
    }
    if (id == ids::controlPass) {
        drawPassButton(ButtonLook::normal);
        return handled;
    }
    return platform::defWindowProc(window, platform::Msg::drawItem, wparam, lparam);
}

platform::Param command(platform::Handle window, platform::Param wparam, platform::Param lparam)
{
    // The notification code in the high word is not examined: every notification counts as a tap.
    const int id = platform::lowWord(wparam);
    if (id >= ids::controlTable1 && id <= ids::controlSouth1 + 2) {
        cardTapSequence(id, window);
        followHint(id, window);
        return 0;
    }
    if (id > ids::controlSouth1 + 2 && id <= ids::controlLastCard)
        return 0;  // the computer seats' cards take no taps
    switch (id) {
    case ids::controlStop:
        stopSequence(window);
        return 0;
    case ids::controlPass:
        passSequence(window);
        return 0;
    case ids::commandAbout:
        runAboutDialog(window);
        return 0;
    case ids::commandExit:
        noteProgramLeft();
        platform::exitProcess(0);
        return 0;
    case ids::commandNew:
        noteGameLeft();
        reviewNewGame();
        newGameSequence(window);
        return 0;
    case ids::commandClose:
        runClosePath(window);
        return 0;
    default:
        return platform::defWindowProc(window, platform::Msg::command, wparam, lparam);
    }
}

}  // namespace

void paintBoard()
{
    platform::blockCopy(shell.boardSurface, 0, 0, shell.backgroundWidth, shell.backgroundHeight,
                        shell.backgroundSurface, 0, 0);
    drawSeat(seatSouth, LivesImagesUpright);
    drawSeat(seatWest, LivesImagesSide);
    drawSeat(seatNorth, LivesImagesUpright);
    drawSeat(seatEast, LivesImagesSide);
    for (int id = ids::controlTable1; id <= ids::controlTable3; ++id)
        drawCardControl(id);
    drawStopButton(ButtonLook::normal);
    drawPassButton(ButtonLook::normal);
    paintFocusFrame(shell.boardWindow);
}

platform::Param boardWindowProcedure(platform::Handle window, platform::Msg msg, platform::Param wparam,
                                     platform::Param lparam)
{
    switch (msg) {
    case platform::Msg::create:
        shell.menuBar = createMenuBar(window);
        return 0;
    case platform::Msg::destroy:
        // Closed with a game running (the close button, Ctrl+Q): it was left unfinished.
        noteProgramLeft();
        platform::destroyMenuBar(shell.menuBar);
        shell.menuBar = 0;
        platform::postQuitMessage(0);
        return 0;
    case platform::Msg::eraseBackground:
        paintBoard();
        return handled;
    case platform::Msg::drawItem:
        return drawItem(window, wparam, lparam);
    case platform::Msg::command:
        return command(window, wparam, lparam);
    case platform::Msg::keyDown:
        return handleBoardKey(window, wparam, lparam);
    default:
        return platform::defWindowProc(window, msg, wparam, lparam);
    }
}
