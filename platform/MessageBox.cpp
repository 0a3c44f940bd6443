// Message boxes, each a modal loop drawn over the screen. A loop takes only
// its own input from the queue. Board input made while it is open is dropped
// and the close button ends the process; what was queued before it opened
// and what the program posts wait there in order, so a board command can
// never run inside a box and re-enter the game.
#include "platform/Core.h"

#include "platform/PixelFont.h"
#include "platform/WrapText.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>

namespace platform::core {

namespace {

constexpr int buttonWidth = 44;
constexpr int buttonHeight = 18;
constexpr int buttonGap = 12;
constexpr int boxTextWidth = 196;
constexpr int boxMinimumInnerWidth = 100;

void drawButton(PixelBuffer& image, Rect r, std::string_view label, bool isDefault)
{
    fillRect(image, r, colour::panel);
    frameRect(image, r, colour::text);
    if (isDefault)
        frameRect(image, {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, colour::text);
    drawText(image, r.left + (r.right - r.left - font::textWidth(label) - 1) / 2,
             r.top + (r.bottom - r.top - font::glyphHeight) / 2, label, colour::text, true);
}

// ---- Message box -------------------------------------------------------------

// A box taller than the screen could not be answered: text past the lines
// that fit is left out.
constexpr int maxBoxLines = (screenHeight - captionHeight - 10 - 6 - buttonHeight - 8) / font::lineHeight;

struct BoxLayout {
    Rect rect;                                        // screen
    std::array<std::string_view, maxBoxLines> lines;  // views into the box's text
    int lineCount;
    Rect accept;  // box coordinates: OK or Yes
    Rect refuse;  // No; empty for an OK box
    BoxButtons buttons;
    int framed = answerYes;  // the button Enter gives, drawn as the default
};

struct BoxHelp {
    char letter = 0;
    int (*help)() = nullptr;
};
BoxHelp boxHelp;

bool asksForHelp(const Message& message, const BoxLayout& layout)
{
    return layout.buttons == BoxButtons::yesNo && boxHelp.help && isLetter(message, boxHelp.letter);
}

BoxLayout layoutBox(std::string_view text, std::string_view caption, BoxButtons buttons)
{
    BoxLayout layout{};
    layout.buttons = buttons;
    wrapText(text, boxTextWidth, [&layout](std::string_view line) {
        if (layout.lineCount < maxBoxLines)
            layout.lines[static_cast<std::size_t>(layout.lineCount++)] = line;
    });
    int inner = boxMinimumInnerWidth;
    for (int i = 0; i < layout.lineCount; ++i)
        inner = std::max(inner, font::textWidth(layout.lines[static_cast<std::size_t>(i)]));
    inner = std::max(inner, font::textWidth(caption) + 13);
    inner = std::max(inner, buttons == BoxButtons::ok ? buttonWidth : 2 * buttonWidth + buttonGap);
    int width = std::min(inner + 20, screenWidth - 4);
    int height = captionHeight + 10 + layout.lineCount * font::lineHeight + 6 + buttonHeight + 8;
    int left = (screenWidth - width) / 2;
    int top = (screenHeight - height) / 2;
    layout.rect = {left, top, left + width, top + height};
    int buttonTop = height - 8 - buttonHeight;
    if (buttons == BoxButtons::ok) {
        int x = (width - buttonWidth) / 2;
        layout.accept = {x, buttonTop, x + buttonWidth, buttonTop + buttonHeight};
    } else {
        int yes = width / 2 - buttonGap / 2 - buttonWidth;
        int no = width / 2 + buttonGap / 2;
        layout.accept = {yes, buttonTop, yes + buttonWidth, buttonTop + buttonHeight};
        layout.refuse = {no, buttonTop, no + buttonWidth, buttonTop + buttonHeight};
    }
    return layout;
}

void drawBox(PixelBuffer& image, const BoxLayout& layout, std::string_view caption)
{
    int width = layout.rect.right - layout.rect.left;
    drawFrameWithCaption(image, width, layout.rect.bottom - layout.rect.top, caption);
    for (int i = 0; i < layout.lineCount; ++i) {
        const std::string_view line = layout.lines[static_cast<std::size_t>(i)];
        drawText(image, (width - font::textWidth(line)) / 2, captionHeight + 10 + i * font::lineHeight, line,
                 colour::text);
    }
    if (layout.buttons == BoxButtons::ok) {
        drawButton(image, layout.accept, "OK", true);
    } else {
        drawButton(image, layout.accept, "Yes", layout.framed == answerYes);
        drawButton(image, layout.refuse, "No", layout.framed == answerNo);
    }
}

bool boxAccepts(const Message& message, void* context)
{
    const BoxLayout& layout = *static_cast<const BoxLayout*>(context);
    if (isTapIn(message, layout.rect) || isKey(message, keyEnter) || isKey(message, keyEscape))
        return true;
    return layout.buttons == BoxButtons::yesNo &&
           (isLetter(message, 'Y') || isLetter(message, 'N') || asksForHelp(message, layout));
}

// The answer an input gives, or 0 when it answers nothing (a tap beside the buttons).
int boxAnswerFor(const Message& message, const BoxLayout& layout)
{
    bool yesNo = layout.buttons == BoxButtons::yesNo;
    if (message.msg == Msg::tap) {
        Message local = message;
        local.wparam -= layout.rect.left;
        local.lparam -= layout.rect.top;
        if (isTapIn(local, layout.accept))
            return yesNo ? answerYes : answerOk;
        if (yesNo && isTapIn(local, layout.refuse))
            return answerNo;
        return 0;
    }
    if (!yesNo)
        return isKey(message, keyEscape) ? answerCancel : answerOk;
    if (asksForHelp(message, layout))
        return 0;
    if (isKey(message, keyEnter))
        return layout.framed;
    return isLetter(message, 'Y') ? answerYes : answerNo;
}

// Names only keys this box answers to: an OK box reads no Y or N.
std::string describeBox(std::string_view body, std::string_view title, BoxButtons buttons)
{
    std::string words = "A box \"" + std::string(title) + "\" asks: " + std::string(body);
    return words + (buttons == BoxButtons::yesNo ? " Y answers yes, N answers no." : " Enter closes it.");
}

// Shows the box and waits for its answer.
int answerBox(std::string_view body, std::string_view title, BoxButtons buttons, BoxLayout& layout)
{
    CoreState& s = state();
    ModalScope scope;
    bool wasOpen = s.boxOpen;
    s.boxOpen = true;
    Rect savedButtons[2] = {s.boxButtons[0], s.boxButtons[1]};
    Rect savedRect = s.boxRect;
    std::string savedWords = std::move(s.boxWords);
    s.boxRect = layout.rect;
    s.boxWords = describeBox(body, title, buttons);
    s.boxButtons[0] = offset(layout.accept, layout.rect.left, layout.rect.top);
    s.boxButtons[1] = isEmpty(layout.refuse) ? Rect{} : offset(layout.refuse, layout.rect.left, layout.rect.top);
    drawBox(pushOverlay(layout.rect), layout, title);

    // On screen before any scripted answer is read, as a person would see it.
    present();
    int result = 0;
    if (!s.exited)
        s.backend->boxOpened(body, title);
    int scripted = s.exited ? 0 : s.backend->scriptedBoxAnswer(body, title, buttons);
    if (scripted != 0) {
        // Anything but a valid answer for these buttons counts as the default button.
        if (buttons == BoxButtons::ok)
            result = scripted == answerCancel ? answerCancel : answerOk;
        else
            result = scripted == answerNo ? answerNo : answerYes;
    }
    Message message;
    while (result == 0) {
        if (!takeModalInput(scope, boxAccepts, &layout, message)) {
            result = buttons == BoxButtons::ok ? answerOk : answerYes;
            break;
        }
        result = boxAnswerFor(message, layout);
        if (result == 0 && asksForHelp(message, layout)) {
            layout.framed = boxHelp.help() == answerNo ? answerNo : answerYes;
            popOverlay();
            drawBox(pushOverlay(layout.rect), layout, title);
            present();
        }
    }

    popOverlay();
    s.boxButtons[0] = savedButtons[0];
    s.boxButtons[1] = savedButtons[1];
    s.boxRect = savedRect;
    s.boxWords = std::move(savedWords);
    s.boxOpen = wasOpen;
    return result;
}

}  // namespace

void drawFrameWithCaption(PixelBuffer& image, int width, int height, std::string_view caption)
{
    image.resize(width, height, colour::window);
    frameRect(image, image.bounds(), colour::text);
    fillRect(image, {1, 1, width - 1, captionHeight}, colour::bar);
    drawText(image, 6, (captionHeight - font::glyphHeight) / 2 + 1, caption, colour::barText, true);
}

}  // namespace platform::core

namespace platform {

void setBoxHelpKey(char letter, int (*help)())
{
    core::boxHelp = {letter, help};
}

}  // namespace platform

namespace platform::backend {

bool boxOpen()
{
    return core::state().boxOpen;
}
Rect boxRect()
{
    return core::state().boxOpen ? core::state().boxRect : Rect{};
}

std::string boxInWords()
{
    return core::state().boxOpen ? core::state().boxWords : std::string();
}

Rect boxButtonRect(int answer)
{
    const core::CoreState& s = core::state();
    if (!s.boxOpen)
        return {};
    return answer == answerNo ? s.boxButtons[1] : s.boxButtons[0];
}

bool boxButtonPoint(int answer, int& x, int& y)
{
    const Rect button = boxButtonRect(answer);
    if (core::isEmpty(button))
        return false;
    x = (button.left + button.right) / 2;
    y = (button.top + button.bottom) / 2;
    return true;
}

}  // namespace platform::backend

namespace platform {

using namespace core;

int messageBox(Handle, const char* text, const char* caption, BoxButtons buttons)
{
    CoreState& s = state();
    if (s.exited)
        return 0;
    const std::string_view body = text ? text : "";
    const std::string_view title = caption ? caption : "";
    BoxLayout layout = layoutBox(body, title, buttons);
    int result = answerBox(body, title, buttons, layout);
    s.backend->boxAnswered(body, title, result);
    return result;
}

}  // namespace platform
