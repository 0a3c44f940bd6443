// Dialogs from templates, each a modal loop drawn over the screen with its
// own window procedure; like a message box, it takes only its own input.
#include "platform/Core.h"

#include "platform/PixelFont.h"
#include "platform/WrapText.h"

#include <string_view>

namespace platform::core {

namespace {

// Dialog templates are in dialog units; one and a half pixels each suits the pixel font.
constexpr int dialogPixels(int units)
{
    return units * 3 / 2;
}

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

}  // namespace

}  // namespace platform::core

namespace platform::backend {

bool dialogOpen()
{
    return core::state().dialogDepth > 0;
}

}  // namespace platform::backend

namespace platform {

using namespace core;

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
