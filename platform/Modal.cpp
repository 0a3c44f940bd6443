// Message boxes and dialogs, each a modal loop drawn over the screen. A loop
// takes only its own input from the queue. Board input made while it is open
// is dropped and the close button ends the process; what was queued before it
// opened and what the program posts wait there in order, so a board command
// can never run inside a box and re-enter the game.
#include "platform/Core.h"

#include "platform/PixelFont.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace platform::core {

namespace {

constexpr int captionHeight = 18;
constexpr int buttonWidth = 44;
constexpr int buttonHeight = 18;
constexpr int buttonGap = 12;
constexpr int boxTextWidth = 196;
constexpr int boxMinimumInnerWidth = 100;

// Dialog templates are in dialog units; one and a half pixels each suits the pixel font.
constexpr int dialogPixels(int units)
{
    return units * 3 / 2;
}

// Longest start of `word` that fits in maxWidth, at least one character.
std::size_t fittingPrefix(std::string_view word, int maxWidth)
{
    std::size_t count = 1;
    while (count < word.size() && font::textWidth(word.substr(0, count + 1)) <= maxWidth)
        ++count;
    return count;
}

// Breaks text into lines no wider than maxWidth, at spaces and newlines; a
// word wider than a line is cut. Each line is handed to `eachLine` as a view
// into `text`: the words it holds and the spaces between them.
template <class EachLine>
void wrapText(std::string_view text, int maxWidth, EachLine eachLine)
{
    constexpr std::size_t none = std::string_view::npos;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view paragraph = text.substr(start, end - start);
        std::size_t lineStart = none;  // the line is paragraph[lineStart, lineEnd); none while it is empty
        std::size_t lineEnd = 0;
        auto line = [&] {
            return lineStart == none ? std::string_view{} : paragraph.substr(lineStart, lineEnd - lineStart);
        };
        std::size_t position = 0;
        while (position < paragraph.size()) {
            const std::size_t wordEnd = std::min(paragraph.find(' ', position), paragraph.size());
            std::size_t wordStart = position;
            position = wordEnd + 1;
            while (font::textWidth(paragraph.substr(wordStart, wordEnd - wordStart)) > maxWidth) {
                if (lineStart != none)
                    eachLine(line());
                const std::size_t cut = fittingPrefix(paragraph.substr(wordStart, wordEnd - wordStart), maxWidth);
                eachLine(paragraph.substr(wordStart, cut));
                lineStart = none;
                wordStart += cut;
            }
            const bool emptyWord = wordStart == wordEnd;
            if (lineStart == none) {
                if (!emptyWord) {
                    lineStart = wordStart;
                    lineEnd = wordEnd;
                }
            } else if (font::textWidth(paragraph.substr(lineStart, wordEnd - lineStart)) <= maxWidth) {
                lineEnd = wordEnd;
            } else {
                eachLine(line());
                lineStart = emptyWord ? none : wordStart;
                lineEnd = wordEnd;
            }
        }
        eachLine(line());
        start = end + 1;
    }
}

void drawButton(PixelBuffer& image, Rect r, std::string_view label, bool isDefault)
{
    fillRect(image, r, colour::panel);
    frameRect(image, r, colour::text);
    if (isDefault)
        frameRect(image, {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, colour::text);
    drawText(image, r.left + (r.right - r.left - font::textWidth(label) - 1) / 2,
             r.top + (r.bottom - r.top - font::glyphHeight) / 2, label, colour::text, true);
}

void drawFrameWithCaption(PixelBuffer& image, int width, int height, std::string_view caption)
{
    image.resize(width, height, colour::window);
    frameRect(image, image.bounds(), colour::text);
    fillRect(image, {1, 1, width - 1, captionHeight}, colour::bar);
    drawText(image, 6, (captionHeight - font::glyphHeight) / 2 + 1, caption, colour::barText, true);
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
};

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
        drawButton(image, layout.accept, "Yes", true);
        drawButton(image, layout.refuse, "No", false);
    }
}

bool boxAccepts(const Message& message, void* context)
{
    const BoxLayout& layout = *static_cast<const BoxLayout*>(context);
    if (isTapIn(message, layout.rect) || isKey(message, keyEnter) || isKey(message, keyEscape))
        return true;
    return layout.buttons == BoxButtons::yesNo && (isLetter(message, 'Y') || isLetter(message, 'N'));
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
        return answerOk;
    return isKey(message, keyEnter) || isLetter(message, 'Y') ? answerYes : answerNo;
}

// ---- Dialog ------------------------------------------------------------------

struct DialogLayout {
    Rect rect;      // screen
    Rect okButton;  // dialog coordinates; empty without an OK button in the caption
};

DialogLayout layoutDialog(const resources::DialogTemplate& dialog)
{
    int width = dialogPixels(dialog.width) + 2;
    int height = captionHeight + dialogPixels(dialog.height) + 1;
    int left = dialog.centred ? (screenWidth - width) / 2 : 0;
    int top = dialog.centred ? (screenHeight - height) / 2 : titleBarHeight;
    DialogLayout layout{{left, top, left + width, top + height}, {}};
    if (dialog.okInCaption)
        layout.okButton = {width - 3 - 26, 3, width - 3, captionHeight - 2};
    return layout;
}

void drawDialog(PixelBuffer& image, const resources::DialogTemplate& dialog, const DialogLayout& layout)
{
    drawFrameWithCaption(image, layout.rect.right - layout.rect.left, layout.rect.bottom - layout.rect.top,
                         dialog.caption ? dialog.caption : "");
    if (!isEmpty(layout.okButton)) {
        frameRect(image, layout.okButton, colour::barText);
        drawText(image, layout.okButton.left + (layout.okButton.right - layout.okButton.left - 12) / 2,
                 layout.okButton.top + (layout.okButton.bottom - layout.okButton.top - font::glyphHeight) / 2, "OK",
                 colour::barText, true);
    }
    for (int i = 0; i < dialog.itemCount; ++i) {
        const resources::DialogItem& item = dialog.items[i];
        int x = 1 + dialogPixels(item.x);
        int y = captionHeight + dialogPixels(item.y);
        int width = dialogPixels(item.width);
        int height = dialogPixels(item.height);
        if (item.kind == resources::DialogItem::Kind::icon) {
            const resources::Bitmap* icon = resources::findIcon(item.iconId, 32);
            if (!icon)
                icon = resources::findIcon(item.iconId, 16);
            if (icon)
                drawBitmap(image, x + (width - icon->width) / 2, y + (height - icon->height) / 2, *icon);
        } else if (item.text) {
            int lineTop = y;
            wrapText(item.text, width, [&](std::string_view line) {
                drawText(image, x, lineTop, line, colour::text);
                lineTop += font::lineHeight;
            });
        }
    }
}

struct DialogInput {
    Handle dialog;
    DialogLayout layout;
    bool okInCaption;
};

bool dialogAccepts(const Message& message, void* context)
{
    const DialogInput& input = *static_cast<const DialogInput*>(context);
    if (message.msg != Msg::tap && message.msg != Msg::keyDown && message.window == input.dialog)
        return true;
    return isTapIn(message, input.layout.rect) || isKey(message, keyEnter) || isKey(message, keyEscape);
}

// The command an input presses: 1 (OK), 2 (cancel) or 0 for none.
int dialogCommandFor(const Message& message, const DialogInput& input)
{
    if (message.msg == Msg::tap) {
        Message local = message;
        local.wparam -= input.layout.rect.left;
        local.lparam -= input.layout.rect.top;
        return isTapIn(local, input.layout.okButton) ? 1 : 0;
    }
    if (isKey(message, keyEnter))
        return 1;
    return input.okInCaption ? 1 : 2;
}

// Shows the box and waits for its answer.
int answerBox(std::string_view body, std::string_view title, BoxButtons buttons, BoxLayout& layout)
{
    CoreState& s = state();
    ModalScope scope;
    bool wasOpen = s.messageBoxOpen;
    s.messageBoxOpen = true;
    Rect savedButtons[2] = {s.boxButtons[0], s.boxButtons[1]};
    Rect savedRect = s.boxRect;
    s.boxRect = layout.rect;
    s.boxButtons[0] = offset(layout.accept, layout.rect.left, layout.rect.top);
    s.boxButtons[1] = isEmpty(layout.refuse) ? Rect{} : offset(layout.refuse, layout.rect.left, layout.rect.top);
    drawBox(pushOverlay(layout.rect), layout, title);

    // On screen before any scripted answer is read, as a person would see it.
    present();
    int result = 0;
    int scripted = s.exited ? 0 : s.backend->scriptedBoxAnswer(body, title, buttons);
    if (scripted != 0) {
        // Anything but a valid answer for these buttons counts as the default button.
        result = buttons == BoxButtons::ok ? answerOk : scripted == answerNo ? answerNo : answerYes;
    }
    Message message;
    while (result == 0) {
        if (!takeModalInput(scope, boxAccepts, &layout, message)) {
            result = buttons == BoxButtons::ok ? answerOk : answerYes;
            break;
        }
        result = boxAnswerFor(message, layout);
    }

    popOverlay();
    s.boxButtons[0] = savedButtons[0];
    s.boxButtons[1] = savedButtons[1];
    s.boxRect = savedRect;
    s.messageBoxOpen = wasOpen;
    return result;
}

}  // namespace

}  // namespace platform::core

namespace platform::backend {

bool messageBoxOpen()
{
    return core::state().messageBoxOpen;
}
bool dialogOpen()
{
    return core::state().dialogDepth > 0;
}

Rect messageBoxRect()
{
    return core::state().messageBoxOpen ? core::state().boxRect : Rect{};
}

Rect boxButtonRect(int answer)
{
    const core::CoreState& s = core::state();
    if (!s.messageBoxOpen)
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

Param dialogBox(int templateId, Handle owner, DialogProc procedure)
{
    CoreState& s = state();
    const resources::DialogTemplate* dialog = resources::findDialog(templateId);
    if (s.exited || !dialog || !procedure)
        return -1;
    DialogInput input{newHandle(), layoutDialog(*dialog), dialog->okInCaption};
    WindowRecord record;
    record.handle = input.dialog;
    record.kind = WindowKind::dialog;
    record.text = dialog->caption ? dialog->caption : "";
    record.procedure = procedure;
    record.parent = owner;
    record.rect = input.layout.rect;
    record.visible = true;
    addWindow(input.dialog, std::move(record));
    ModalScope scope;
    ++s.dialogDepth;
    s.backend->dialogOpened(templateId);

    sendMessage(input.dialog, Msg::initDialog, 0, 0);
    bool shown = !findWindow(input.dialog)->dialogEnded;
    if (shown) {
        drawDialog(pushOverlay(input.layout.rect), *dialog, input.layout);
    }
    bool okPressedForLackOfInput = false;
    while (!s.exited && !findWindow(input.dialog)->dialogEnded) {
        Message message;
        if (!takeModalInput(scope, dialogAccepts, &input, message)) {
            if (s.exited)
                break;
            // No input will come: press OK once, then give up, so a run can't hang here.
            if (okPressedForLackOfInput) {
                endDialog(input.dialog, 0);
                break;
            }
            okPressedForLackOfInput = true;
            sendMessage(input.dialog, Msg::command, makeCommandParam(1, 0), 0);
            continue;
        }
        if (message.msg != Msg::tap && message.msg != Msg::keyDown) {
            sendMessage(input.dialog, message.msg, message.wparam, message.lparam);
            continue;
        }
        int command = dialogCommandFor(message, input);
        if (command != 0)
            sendMessage(input.dialog, Msg::command, makeCommandParam(command, 0), 0);
    }

    Param result = findWindow(input.dialog)->dialogResult;
    if (shown)
        popOverlay();
    eraseWindow(input.dialog);
    --s.dialogDepth;
    return result;
}

bool endDialog(Handle dialog, Param result)
{
    WindowRecord* window = findWindow(dialog);
    if (!window || window->kind != WindowKind::dialog || window->dialogEnded)
        return false;
    window->dialogEnded = true;
    window->dialogResult = result;
    return true;
}

}  // namespace platform
