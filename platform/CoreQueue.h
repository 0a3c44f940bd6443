// The platform core's input and its queue (Queue.cpp): tests of an input
// message, and the modal scope an open box, dialog or pop-up reads its
// input in. Core.h includes it with the rest of what the core's files share.
#pragma once

#include "platform/Platform.h"

#include <cstdint>

namespace platform::core {

// ---- Input ----------------------------------------------------------------

bool isKey(const Message& message, Param key);      // a key without Ctrl
bool isLetter(const Message& message, char upper);  // a letter key without Ctrl, either case
bool isTapIn(const Message& message, const Rect& area);

// ---- The queue ---------------------------------------------------------------

// One open box, dialog or pop-up. The board is disabled meanwhile, as an
// owner window is under a modal box: input that arrives while the scope is
// open and is not the modal's own is dropped. Input queued before it opened
// was made while the program was busy and still reaches the board afterwards.
class ModalScope {
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    std::uint64_t firstInput() const { return first; }

private:
    std::uint64_t first = 0;
};

using InputFilter = bool (*)(const Message& message, void* context);
// Takes the first queued message the filter accepts, leaving posted messages
// and earlier input in order and dropping the scope's other input. The close
// button ends the process at once. Waits for input when there is none,
// repainting and presenting first. False when no more input will come (the
// headless back end ran dry) or the process has exited.
bool takeModalInput(const ModalScope& scope, InputFilter accepts, void* context, Message& message);
// Repaints, shows the screen and waits for input; false when none will come.
bool repaintShowAndWait();

}  // namespace platform::core
