#include "tests/Harness.h"

#include "ai/TableMemory.h"
#include "app/Program.h"
#include "app/Shell.h"
#include "platform/Backend.h"
#include "resources/BoardIds.h"
#include "resources/Resources.h"
#include "ui/Controls.h"

#include <algorithm>
#include <cstring>

namespace testing_support {

Harness::Harness(int pinnedSeconds)
{
    platform::headless::install();
    platform::headless::pinSeconds(pinnedSeconds);
    platform::headless::recordFrames(framesKept);
    zeroGameState();
    forgetTable();
    shell = ShellState{};
    boardControls = ControlHandles{};
    platform::headless::setBoxAnswerer(
        [this](std::string_view text, std::string_view caption, platform::BoxButtons buttons) {
            int answer = buttons == platform::BoxButtons::yesNo ? platform::answerYes : platform::answerOk;
            if (!answers.empty()) {
                answer = answers.front();
                answers.pop_front();
            }
            boxLog.push_back(BoxRecord{std::string(text), std::string(caption), answer});
            return answer;
        });
    startResult = startUp();
    if (startResult)
        runUntilIdle();
}

Harness::~Harness()
{
    platform::headless::setBoxAnswerer(nullptr);
    platform::headless::setIdleHandler(nullptr);
}

void Harness::runUntilIdle()
{
    if (!platform::headless::exited() && !platform::headless::quitReceived())
        runMessageLoop();
}

void Harness::presentNow()
{
    platform::waitUnits(0);
}

void Harness::tapScreen(int x, int y)
{
    platform::headless::pushTap(x, y);
    runUntilIdle();
}

void Harness::tapBoard(int x, int y)
{
    tapScreen(x, y + platform::titleBarHeight);
}

void Harness::tapControl(int controlId)
{
    const platform::Rect rect = controlRect(controlId);
    tapScreen((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

void Harness::command(int commandId)
{
    platform::postMessage(shell.boardWindow, platform::Msg::command, platform::makeCommandParam(commandId), 0);
    runUntilIdle();
}

void Harness::chooseMenu(int commandId)
{
    const platform::Rect button = platform::headless::menuButtonRect();
    platform::headless::pushTap((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    // The pop-up opens while the tap is handled; its item is tapped from the idle handler.
    platform::headless::setIdleHandler([commandId] {
        int x = 0;
        int y = 0;
        if (platform::headless::menuItemPoint(commandId, x, y))
            platform::headless::pushTap(x, y);
        platform::headless::setIdleHandler(nullptr);
    });
    runUntilIdle();
    platform::headless::setIdleHandler(nullptr);
}

void Harness::key(platform::Param keyCode, bool control)
{
    platform::headless::pushKey(keyCode, control);
    runUntilIdle();
}

void Harness::closeButton()
{
    platform::headless::pushClose();
    runUntilIdle();
}

void Harness::queueAnswers(std::vector<int> list)
{
    for (int answer : list)
        answers.push_back(answer);
}

void Harness::pinSeconds(int seconds)
{
    platform::headless::pinSeconds(seconds);
}

std::uint32_t Harness::screenPixel(int x, int y) const
{
    const platform::headless::Frame* shown = platform::headless::lastFrame();
    return shown ? shown->pixel(x, y) : 0;
}

std::uint32_t Harness::boardPixel(int x, int y) const
{
    return screenPixel(x, y + platform::titleBarHeight);
}

bool frameShowsImage(const platform::headless::Frame& frame, int x, int y, int imageId,
                     const std::vector<platform::Rect>& except)
{
    const resources::Bitmap* image = resources::findBitmap(imageId);
    if (!image)
        return false;
    for (int row = 0; row < image->height; ++row) {
        for (int column = 0; column < image->width; ++column) {
            const int atX = x + column;
            const int atY = y + row;
            const bool left = std::any_of(except.begin(), except.end(), [&](const platform::Rect& r) {
                return atX >= r.left && atX < r.right && atY >= r.top && atY < r.bottom;
            });
            const std::uint8_t index = image->pixels[row * image->width + column];
            if (!left && frame.pixel(atX, atY) != resources::paletteColor(index))
                return false;
        }
    }
    return true;
}

bool Harness::boardShowsImage(int x, int y, int imageId) const
{
    const platform::headless::Frame* shown = platform::headless::lastFrame();
    return shown && frameShowsImage(*shown, x, y + platform::titleBarHeight, imageId);
}

std::vector<std::uint32_t> Harness::screenShot() const
{
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < platform::screenHeight; ++y)
        for (int x = 0; x < platform::screenWidth; ++x)
            pixels.push_back(screenPixel(x, y));
    return pixels;
}

int Harness::pixelsChangedOutside(const std::vector<std::uint32_t>& before, platform::Rect except) const
{
    const std::vector<std::uint32_t> now = screenShot();
    int changed = 0;
    for (int y = 0; y < platform::screenHeight; ++y) {
        for (int x = 0; x < platform::screenWidth; ++x) {
            const bool inside = x >= except.left && x < except.right && y >= except.top && y < except.bottom;
            const std::size_t at = static_cast<std::size_t>(y * platform::screenWidth + x);
            changed += !inside && now[at] != before[at];
        }
    }
    return changed;
}

std::int64_t Harness::pauseUnits() const
{
    return platform::headless::pauseUnits();
}

platform::Handle Harness::boardWindow() const
{
    return shell.boardWindow;
}

namespace {

// A control by id as the program knows it: the board's by their handles, the
// second hand's while it is shown.
platform::Handle controlOf(int controlId)
{
    if (const platform::Handle board = controlHandle(controlId))
        return board;
    // The second hand's controls exist only while they are shown.
    for (const platform::backend::ShownControl& shown : platform::backend::shownControls()) {
        if (shown.id != controlId)
            continue;
        for (const platform::Handle control : boardControls.secondHand) {
            if (control != 0 && platform::getWindowRect(control) == shown.rect)
                return control;
        }
    }
    return 0;
}

}  // namespace

platform::Rect Harness::controlRect(int controlId) const
{
    const platform::Handle control = controlOf(controlId);
    if (control == 0)
        return platform::Rect{0, 0, 0, 0};
    return platform::getWindowRect(control);
}

bool Harness::controlVisible(int controlId) const
{
    const platform::Handle control = controlOf(controlId);
    return control != 0 && platform::isWindowVisible(control);
}

bool Harness::exited() const
{
    return platform::headless::exited();
}
int Harness::exitStatus() const
{
    return platform::headless::exitStatus();
}
bool Harness::quit() const
{
    return platform::headless::quitReceived();
}

}  // namespace testing_support
