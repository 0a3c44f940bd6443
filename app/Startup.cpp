// Start-up: the single-instance rule, the board window, its menu bar and
// controls, the reset record; then the message loop.
#include "app/BoardControls.h"
#include "app/Hint.h"
#include "app/KeyboardFocus.h"
#include "app/Program.h"
#include "app/Shell.h"
#include "model/Deck.h"
#include "model/GameState.h"
#include "resources/BoardIds.h"
#include "resources/ResourceIds.h"
#include "ui/Controls.h"

namespace {

constexpr int stringBufferSize = 100;

}  // namespace

platform::Handle createMenuBar(platform::Handle boardWindow)
{
    return platform::createMenuBar(boardWindow, res::menuBarGame);
}

int startUp()
{
    char className[stringBufferSize];
    char title[stringBufferSize];
    platform::loadString(res::stringClassName, className, stringBufferSize);
    platform::loadString(res::stringTitle, title, stringBufferSize);

    if (platform::bringRunningInstanceToFront(className, title))
        return 0;
    resetKeyboardFocus();

    platform::registerClass(platform::WindowClass{className, boardWindowProcedure, res::iconProgram});
    shell.boardWindow = platform::createWindow(className, title, platform::styleVisible, platform::useDefault,
                                               platform::useDefault, platform::useDefault, platform::useDefault, 0, 0);
    if (shell.boardWindow == 0)
        return 0;

    // The menu bar overlaps the bottom of the window; the board keeps the 240 x 268 above it.
    const platform::Rect rect = platform::getWindowRect(shell.boardWindow);
    if (shell.menuBar != 0)
        platform::moveWindow(shell.boardWindow, rect.left, rect.top, rect.right, rect.bottom - platform::menuBarHeight,
                             false);

    shell.backgroundImage = platform::loadImage(res::imageBackground);
    shell.boardSurface = platform::getDrawingSurface(shell.boardWindow);
    shell.backgroundSurface = platform::createCompatibleSurface(shell.boardSurface);
    platform::selectImage(shell.backgroundSurface, shell.backgroundImage);
    shell.backgroundWidth = shell.backgroundImage ? shell.backgroundImage->width : 0;
    shell.backgroundHeight = shell.backgroundImage ? shell.backgroundImage->height : 0;

    const std::uint32_t controlStyle = platform::styleVisible | platform::styleChild | platform::styleOwnerDraw;
    for (int index = 0; index < boardControlCount; ++index) {
        const ControlPlace& place = BoardControlPlaces[index];
        const char* text = place.id == ids::controlStop ? "Stop" : place.id == ids::controlPass ? "Pass" : "";
        const platform::Handle control = platform::createWindow("BUTTON", text, controlStyle, place.x, place.y,
                                                                place.width, place.height, shell.boardWindow, place.id);
        if (index < ids::cardControlCount)
            boardControls.cards[index] = control;
        else if (place.id == ids::controlStop)
            boardControls.stop = control;
        else
            boardControls.pass = control;
    }
    hideAllCards();
    offerButtons(Buttons::none);

    platform::showWindow(shell.boardWindow, true);
    platform::updateWindow(shell.boardWindow);

    resetHands(Lives::keep);
    hideAllCards();
    game.currentSeat = seatSouth;
    game.gameRunning = 0;
    game.dealerChoicePending = 1;
    game.threeAcesFlag = 0;
    game.firstTurnOfRound = 1;
    return 1;
}

namespace {

bool (*exitConfirmation)() = nullptr;

bool exitRefused(const platform::Message& message)
{
    return exitConfirmation && message.msg == platform::Msg::command &&
           platform::lowWord(message.wparam) == ids::commandExit && !exitConfirmation();
}

}  // namespace

void setExitConfirmation(bool (*confirm)())
{
    exitConfirmation = confirm;
}

int runMessageLoop()
{
    const platform::Handle accelerators = platform::loadAccelerators(res::acceleratorsMain);
    platform::Message message{};
    while (platform::getMessage(message)) {
        if (platform::translateAccelerator(message.window, accelerators, message))
            continue;
        if (message.msg == platform::Msg::tap)
            hideFocusFrame(shell.boardWindow);
        if (exitRefused(message))
            continue;
        platform::dispatchMessage(message);
    }
    return message.msg == platform::Msg::quit ? static_cast<int>(message.wparam) : 0;
}

int programEntry()
{
    setBoxHelpKey();
    if (!startUp())
        return 0;
    return runMessageLoop();
}
